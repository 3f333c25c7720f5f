<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
