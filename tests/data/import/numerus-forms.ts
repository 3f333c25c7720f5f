<!DOCTYPE TS><TS>
<context>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation><numerusform>-%n fichier</numerusform><numerusform>%n fichiers</numerusform></translation>
    </message>
</context>
</TS>
