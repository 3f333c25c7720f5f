<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message>
        <source>Open the file</source>
        <translation variants="yes">
            <lengthvariant>Ouvrir le fichier</lengthvariant>
            <lengthvariant>Ouvrir</lengthvariant>
        </translation>
    </message>
</context>
</TS>
