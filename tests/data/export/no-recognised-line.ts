hello
world
<source>not in a message</source>
