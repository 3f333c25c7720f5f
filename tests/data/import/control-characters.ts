<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a<byte value="x1"/>b</source>
        <translation>c<byte value="x1f"/>d</translation>
    </message>
</context>
</TS>
