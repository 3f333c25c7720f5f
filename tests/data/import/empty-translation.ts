<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation></translation>
    </message>
</context>
</TS>
