<TS><context><message/><message><source/><translation/></message><message><source>a</source></message></context></TS>
