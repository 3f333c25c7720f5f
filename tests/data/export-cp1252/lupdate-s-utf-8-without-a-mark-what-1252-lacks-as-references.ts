<?xml version="1.0" encoding="utf-8"?>
<TS><message><source>Café Á € ā 日😀</source></message></TS>