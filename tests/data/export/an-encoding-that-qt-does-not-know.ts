<?xml version="1.0" encoding="utf-9"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
