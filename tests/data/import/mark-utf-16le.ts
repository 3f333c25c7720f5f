<!DOCTYPE TS><TS>
<context>
    <message>
        <source>ča</source>
        <translation>日&#10;b</translation>
    </message>
</context>
</TS>
