<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&lt;lengthvariant a=&quot;&lt;&quot;&gt;x&lt;/lengthvariant&gt;</translation>
    </message>
</context>
</TS>
