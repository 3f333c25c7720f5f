<!DOCTYPE TS><TS>
<context>
    <message>
        <source>&quot;a&quot;b</source>
        <translation>c</translation>
    </message>
</context>
</TS>
