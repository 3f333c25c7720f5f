// app.ts
import { Component } from "@angular/core";

export function greater<T>(a: T, b: T): boolean {
    return a > b;
}

const message = "<source>Hello</source>";
