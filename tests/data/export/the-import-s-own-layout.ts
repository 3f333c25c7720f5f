<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>b</translation>
    </message>
    <message encoding="UTF-8">
        <source>c</source>
        <translation>d</translation>
    </message>
</context>
</TS>
