<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>C</name>
    <message>
        <source>Open the file</source>
        <translation variants="yes">
            <lengthvariant>Ouvrir le fichier</lengthvariant>
            <lengthvariant>Ouvrir</lengthvariant>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform variants="yes">
                <lengthvariant>%n fichier</lengthvariant>
                <lengthvariant>%n f.</lengthvariant>
            </numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
</context>
</TS>
