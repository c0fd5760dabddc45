<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The product's names. Keys are the source texts; the context is the table. -->
<TS version="2.1" language="en">
<context>
    <name>Branding</name>
    <message>
        <source>Quorvel Client</source>
        <translation>Quorvel Client</translation>
    </message>
    <message>
        <source>Quorvel</source>
        <translation>Quorvel</translation>
    </message>
</context>
</TS>
