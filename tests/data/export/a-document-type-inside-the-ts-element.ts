<?xml version="1.0"?>
<TS version="2.1">
<!DOCTYPE TS>
<context><name>a</name><message><source>x</source><translation>y</translation></message></context>
</TS>
