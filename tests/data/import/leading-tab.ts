<!DOCTYPE TS><TS>
<context>
    <message>
        <source></source>
        <translation>b</translation>
    </message>
</context>
</TS>
