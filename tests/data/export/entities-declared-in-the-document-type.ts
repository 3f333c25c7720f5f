<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS SYSTEM "ts>dtd" [
    <!ENTITY app "Quorvale">
]>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message>
        <source>About &app;</source>
        <translation>À propos de &app;</translation>
    </message>
</context>
</TS>
