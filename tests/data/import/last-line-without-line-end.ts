<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>b</translation>
    </message>
    <message>
        <source>c</source>
        <translation>d</translation>
    </message>
</context>
</TS>
