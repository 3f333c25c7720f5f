<TS><message><source>a</source><translation>  <byte value="xd"/>x
 <b>y</b></translation></message></TS>
