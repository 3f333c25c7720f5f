<!DOCTYPE TS><TS>
<context>
    <message>
        <source>a</source>
        <translation variants="yes"><lengthvariant>Ouvrir le fichier</lengthvariant><lengthvariant a='1 2' b="3" c-2.d_e="4">&amp;</lengthvariant></translation>
    </message>
</context>
</TS>
