<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Ctx</name>
    <message>
        <source>Tom &amp; &lt;b&gt; &#x202f; &amp;quot; line<byte value="xd"/></source>
        <translation>x</translation>
    </message>
</context>
</TS>
