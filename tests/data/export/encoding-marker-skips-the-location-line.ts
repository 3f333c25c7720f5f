<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message encoding="UTF-8">
        <location filename="a.cpp" line="3"/>
        <source>Données</source>
        <comment>c</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
