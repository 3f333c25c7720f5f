<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&amp;nbsp; &amp;#0; &amp;#xZZ; &amp;amp</translation>
    </message>
</context>
</TS>
