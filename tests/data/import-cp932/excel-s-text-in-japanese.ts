<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Open</source>
        <translation>&#x958b;&#x304f;</translation>
    </message>
    <message>
        <source>&#x2460;</source>
        <translation>&#x3042;</translation>
    </message>
</context>
</TS>
