<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message>
        <source>Open</source>
        <oldsource>Opn</oldsource>
        <comment>menu</comment>
        <extracomment>x &lt; y</extracomment>
        <translatorcomment>t</translatorcomment>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
