<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&quot;never closed</translation>
    </message>
    <message>
        <source>b</source>
        <translation>c</translation>
    </message>
    <message>
        <source>d</source>
        <translation>e</translation>
    </message>
</context>
</TS>
