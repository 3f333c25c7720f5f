<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message encoding="UTF-8" id="x">
        <source>a</source>
        <translation>b</translation>
    </message>
</context>
</TS>
