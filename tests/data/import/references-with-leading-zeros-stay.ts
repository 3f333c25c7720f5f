<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&#x0000000041;&#00000000066;</translation>
    </message>
</context>
</TS>
