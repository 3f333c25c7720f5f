<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Hello</source>
        <translation>Caf&#xe9; &#x20ac;</translation>
    </message>
</context>
</TS>
