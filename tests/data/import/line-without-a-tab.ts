<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>b</translation>
    </message>
    <message>
        <source>alone</source>
        <translation></translation>
    </message>
</context>
</TS>
