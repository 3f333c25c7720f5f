<?xml version="1.0"?>
<!DOCTYPE TS>
<!DOCTYPE TS>
<TS version="2.1">
<context><name>a</name><message><source>x</source><translation>y</translation></message></context>
</TS>
