<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>Tom &amp; Jerry &lt;b&gt;gras&lt;/b&gt; a &gt; b</translation>
    </message>
</context>
</TS>
