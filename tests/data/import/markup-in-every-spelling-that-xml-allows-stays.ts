<!DOCTYPE TS><TS>
<context>
    <message numerus="yes">
        <source>a<byte value='x9'/>b<byte value="x9" />c<byte value="9"/>d<byte  value = "xd" other='>'></byte >e</source>
        <translation><numerusform variants="yes"><lengthvariant/><lengthvariant a = '1'>x<byte value='x1'/></lengthvariant></numerusform><numerusform></numerusform></translation>
    </message>
</context>
</TS>
