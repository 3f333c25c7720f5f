<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation type="unfinished">
        </translation>
    </message>
    <message numerus='yes'>
        <source>%n dir(s)</source>
        <translation>
            <numerusform variants="yes">
                <lengthvariant>%n dossier</lengthvariant>
                <lengthvariant>%n d.</lengthvariant>
            </numerusform>
            <numerusform variants="yes">
            </numerusform>
        </translation>
    </message>
    <message>
        <source>Open</source>
        <translation variants="yes">
            <lengthvariant>Ouvrir</lengthvariant>
        </translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>
        </translation>
    </message>
</context>
</TS>
