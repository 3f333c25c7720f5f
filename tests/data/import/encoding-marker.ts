<!DOCTYPE TS><TS>
<context>
    <message encoding="UTF-8">
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
