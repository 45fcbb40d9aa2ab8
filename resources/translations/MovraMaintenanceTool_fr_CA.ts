<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_CA" sourcelanguage="en_US">
<context>
    <name>ProgressDialog</name>
    <message>
        <source>N/A</source>
        <translation>N/D</translation>
    </message>
</context>
</TS>
