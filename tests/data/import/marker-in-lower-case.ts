<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>b</translation>
    </message>
</context>
</TS>
