<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>one&#10;two&#10;&#10;three</translation>
    </message>
    <message>
        <source>b</source>
        <translation>c</translation>
    </message>
</context>
</TS>
