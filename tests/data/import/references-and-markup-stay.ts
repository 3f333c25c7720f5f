<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Tom &amp; &lt;b&gt; &#10; &#x202f; line<byte value="xd"/></source>
        <translation>x</translation>
    </message>
</context>
</TS>
