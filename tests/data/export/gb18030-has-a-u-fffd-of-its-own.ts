<?xml version="1.0" encoding="GB18030"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Ctx</name>
    <message>
        <source>Unknown �</source>
        <translation>未知 �</translation>
    </message>
</context>
</TS>
