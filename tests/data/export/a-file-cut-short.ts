<TS><context><message>
<source>cut
here