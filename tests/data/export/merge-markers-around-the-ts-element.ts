<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<<<<<<< HEAD
<TS version="2.1" language="fr">
=======
<TS version="2.1" language="de">
>>>>>>> other
<context>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
