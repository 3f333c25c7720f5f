<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&amp;nbsp; &amp;#0; &amp;#xZZ; &amp;amp &amp;#6a; <byte value="x10000"/> &amp;#x8; &amp;#x1F; &amp;#xD800; &amp;#xDFFF; &amp;#xFFFE; &amp;#xFFFF; &amp;#x110000; &amp;#x10FFFF0; &amp;a65; &amp;ax41;</translation>
    </message>
</context>
</TS>
