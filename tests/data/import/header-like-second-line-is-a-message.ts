<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>b</translation>
    </message>
    <message>
        <source>Origine </source>
        <translation>Traduction</translation>
    </message>
</context>
</TS>
