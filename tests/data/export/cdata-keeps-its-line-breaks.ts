<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message>
        <source><![CDATA[line one
line two]] <b>
]]></source>
        <translation>t<![CDATA[
]]></translation>
    </message>
</context>
</TS>
