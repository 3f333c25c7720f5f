<TS><message><source>a</source>
<message><source>b</source><translation>c</translation></message></TS>