<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&lt;lengthvariant a=&quot;&lt;&quot;&gt;x&lt;/lengthvariant&gt;</translation>
    </message>
    <message>
        <source>b</source>
        <translation>&lt;lengthvariant a=&quot;x&lt;&quot;&gt;y&lt;/lengthvariant&gt;</translation>
    </message>
    <message>
        <source>c</source>
        <translation>&lt;byte value=&quot;x9</translation>
    </message>
</context>
</TS>
