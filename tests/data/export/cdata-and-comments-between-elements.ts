<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message>
        <!-- a > b --><!---->
        <source><![CDATA[x < y & z]]></source>
        <translation><![CDATA[t]]]]>>]<![CDATA[]]]>></translation>
    </message>
</context>
</TS>
