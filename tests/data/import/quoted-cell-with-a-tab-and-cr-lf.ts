<!DOCTYPE TS><TS>
<context>
    <message encoding="UTF-8">
        <source>x&#9;y</source>
        <translation>p&#10;q</translation>
    </message>
</context>
</TS>
