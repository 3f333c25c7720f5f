<!DOCTYPE TS><TS>
<context>
</context>
</TS>
