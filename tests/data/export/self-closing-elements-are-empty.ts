<TS><message/><message><source/><translation/></message><message><source>a</source></message></TS>
