<?xml version="1.0" encoding="Shift_JIS"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>Ctx</name>
    <message>
        <source>Open �</source>
        <translation>開く</translation>
    </message>
</context>
</TS>
