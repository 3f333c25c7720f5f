<!DOCTYPE TS><TS>
<context>
    <message numerus="yes">
        <source>%n</source>
        <translation><numerusform variants="yes"><lengthvariant>x &amp; y</lengthvariant></numerusform><numerusform>z</numerusform></translation>
    </message>
</context>
</TS>
