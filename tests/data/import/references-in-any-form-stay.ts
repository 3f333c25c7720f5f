<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation>&#x0000000041;&#00000000066; &#32;&#xFF;&#x4f;&#xaF;&#xA0;&#x10FFFF; &#x9;&#xA;&#xD;&#x20;&#xD7FF;&#xE000;&#xFFFD;&#x10000;</translation>
    </message>
</context>
</TS>
