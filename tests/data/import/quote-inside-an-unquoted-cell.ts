<!DOCTYPE TS><TS>
<context>
    <message>
        <source>say &quot;hi&quot;</source>
        <translation>x</translation>
    </message>
</context>
</TS>
