<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Origine </source>
        <translation>Traduction</translation>
    </message>
</context>
</TS>
