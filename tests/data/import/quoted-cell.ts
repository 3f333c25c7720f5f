<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Dites &quot;bonjour&quot;</source>
        <translation>x&quot;</translation>
    </message>
</context>
</TS>
