<!DOCTYPE TS []>
<TS version="2.1" language="fr">
<context>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
