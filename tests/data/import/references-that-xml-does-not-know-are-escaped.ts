<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&amp;nbsp; &amp;#0; &amp;#xZZ; &amp;amp &amp;#6a; &lt;byte value=&quot;x10000&quot;/&gt;</translation>
    </message>
</context>
</TS>
