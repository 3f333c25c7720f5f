<!DOCTYPE TS><TS>
<context>
    <message encoding="UTF-8">
        <source>a</source>
        <translation>b</translation>
    </message>
    <message>
        <source>c</source>
        <translation>d&#10;e</translation>
    </message>
    <message>
        <source>f</source>
        <translation>g&#10;h</translation>
    </message>
    <message>
        <source>i</source>
        <translation>j</translation>
    </message>
</context>
</TS>
