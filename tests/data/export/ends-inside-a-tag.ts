<TS><context>
<message><source>a</source><translation>b</trans