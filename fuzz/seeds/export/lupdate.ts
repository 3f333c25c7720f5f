<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>C</name>
    <message>
        <location filename="a.cpp" line="3"/>
        <source>Open &amp; close
now</source>
        <comment>menu</comment>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n fichier</numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
    <message encoding="UTF-8">
        <location filename="b.cpp" line="1"/>
        <source>Données<byte value="xd"/></source>
        <translation type="unfinished"/>
    </message>
</context>
</TS>
