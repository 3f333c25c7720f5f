<TS><message/><source>a</source><translation>b</translation></TS>
