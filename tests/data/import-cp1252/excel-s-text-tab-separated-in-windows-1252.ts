<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Hello</source>
        <translation>&#xe9; &#xe8; &#x20ac; &#x153; &#xab;&#xbb;</translation>
    </message>
    <message>
        <source>Caf&#xc3;&#xa9;</source>
        <translation>x</translation>
    </message>
</context>
</TS>
