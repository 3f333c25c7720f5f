<!DOCTYPE TS><TS>
<context>
    <message>
        <source>&#61;1+1</source>
        <translation>&#45;x</translation>
    </message>
    <message>
        <source>&#43;a</source>
        <translation>&#64;b</translation>
    </message>
    <message>
        <source>a=</source>
        <translation> =c</translation>
    </message>
</context>
</TS>
