<TS><message><source>x<b t="1>2">y</b></source><translation/></message></TS>
