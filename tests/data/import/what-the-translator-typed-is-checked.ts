<!DOCTYPE TS><TS>
<context>
    <message>
        <source>Open %1</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation><numerusform>un fichier</numerusform><numerusform>%n fichiers</numerusform></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
</context>
</TS>
