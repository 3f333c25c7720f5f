<TS><context><message><source>&#93;]></source></message></context></TS>
