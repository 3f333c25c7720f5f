<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message numerus="yes">
        <source>%n</source>
        <translation>
            <numerusform variants="yes">
                <lengthvariant>%n fichier</lengthvariant>
                <lengthvariant>%n f.</lengthvariant>
            </numerusform>
            <numerusform> %n </numerusform>
        </translation>
    </message>
</context>
</TS>
