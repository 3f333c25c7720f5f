<!DOCTYPE TS><TS>
<context>
    <message>
        <source>�</source>
        <translation>x</translation>
    </message>
</context>
</TS>
