<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <?p a > <!-- b?>
    <message>
        <source>One</source>
        <translation>Un</translation>
    </message>
    <message>
        <?z <message><source>ghost</source>?>
        <source>Two</source>
        <translation>Deux</translation>
    </message>
    <message>
        <source>Three<?q it's > <b>?></source>
        <translation>Trois</translation>
    </message>
</context>
</TS>
