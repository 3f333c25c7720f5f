<!DOCTYPE TS><TS>
<context>
    <message numerus="yes">
        <source>%n</source>
        <translation><numerusform>a &amp; b</numerusform><numerusform>&lt;c&gt;</numerusform></translation>
    </message>
</context>
</TS>
