<!DOCTYPE TS><TS>
<context>
    <message>
        <source>%n</source>
        <translation>&lt;numerusform&gt;a&lt;/numerusform&gt;b</translation>
    </message>
</context>
</TS>
