<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The client's texts in English. Keys are the source texts; the context is
     the table. Format texts take their arguments as %1. -->
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>OK_Button</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel_Button</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Client_Disconnected_Job_Allowed_Message</source>
        <translation>The print server cannot be reached. Your job will print and will be recorded once the server is back.</translation>
    </message>
</context>
</TS>
