<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&lt;lengthvariant a='1' a='2'&gt;x&lt;/lengthvariant&gt;</translation>
    </message>
</context>
</TS>
