<!DOCTYPE TS><TS>
<context>
    <message encoding="UTF-8">
        <source>a</source>
        <translation>b</translation>
    </message>
    <message>
        <source>c</source>
        <translation>d</translation>
    </message>
</context>
</TS>
