<!DOCTYPE TS><TS>
<context>
    <message encoding="UTF-8">
        <source>a</source>
        <translation>b</translation>
    </message>
</context>
</TS>
