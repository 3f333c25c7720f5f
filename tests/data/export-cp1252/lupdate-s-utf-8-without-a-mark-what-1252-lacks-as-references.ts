<?xml version="1.0" encoding="utf-8"?>
<TS><context><message><source>Café Á € ā 日😀</source></message></context></TS>