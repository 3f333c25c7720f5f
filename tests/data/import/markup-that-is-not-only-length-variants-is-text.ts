<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&lt;lengthvariant&gt;x&lt;/lengthvariant&gt;y</translation>
    </message>
</context>
</TS>
