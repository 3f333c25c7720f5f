<!DOCTYPE TS><TS>
<context>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation><numerusform>%n fichier</numerusform><numerusform>%n fichiers</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation><numerusform>%n jour</numerusform><numerusform>%n jours</numerusform></translation>
    </message>
    <message>
        <source>Open</source>
        <translation variants="yes"><lengthvariant>Ouvrir</lengthvariant><lengthvariant>Ouv.</lengthvariant></translation>
    </message>
</context>
</TS>
