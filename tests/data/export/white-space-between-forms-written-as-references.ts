<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>&#9;<numerusform>%n fichier</numerusform>&#32;<![CDATA[ ]]>&#xa0;<numerusform>%n fichiers</numerusform>
        </translation>
    </message>
    <message>
        <source>Open</source>
        <translation variants="yes"><lengthvariant>Ouvrir</lengthvariant>&#10;<lengthvariant>Ouv.</lengthvariant></translation>
    </message>
</context>
</TS>
