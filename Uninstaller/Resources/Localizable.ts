<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Uninstall's texts in English. Keys are the source texts; the context is
     the table. Format texts take the product name as %1, as often as they
     show it. -->
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>Uninstall_Window_Title</source>
        <translation>Uninstall %1</translation>
    </message>
    <message>
        <source>Uninstall_Welcome_Text</source>
        <translation>Welcome to the %1 Uninstaller</translation>
    </message>
    <message>
        <source>Uninstall_Instruction_Text</source>
        <translation>This removes %1 from this computer: the %1 client, the print queue hook and the programs; the tracked print queues print again as before. The administrator&apos;s preferences in /etc/quorvel, the logs and each user&apos;s own %1 files stay. You will be asked for an administrator&apos;s password.</translation>
    </message>
    <message>
        <source>Uninstall_Status_Text</source>
        <translation>Removing the installation. This can take a minute…</translation>
    </message>
    <message>
        <source>Uninstall_Error_Not_Admin</source>
        <translation>%1 could not be removed. Removing it needs an administrator&apos;s rights, and the removal must complete; the log says what went wrong.</translation>
    </message>
    <message>
        <source>Uninstall_Success_Text</source>
        <translation>%1 has been removed from this computer. Restart the computer so that no part of %1 keeps running.</translation>
    </message>
    <message>
        <source>Uninstall_Button</source>
        <translation>Uninstall</translation>
    </message>
    <message>
        <source>Cancel_Button</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Close_Button</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Restart_Required</source>
        <translation>Restart required</translation>
    </message>
    <message>
        <source>Restart_System_Message</source>
        <translation>The computer must restart to finish the removal. Restart it now?</translation>
    </message>
    <message>
        <source>Restart_Now_Button</source>
        <translation>Restart Now</translation>
    </message>
    <message>
        <source>Restart_Later_Button</source>
        <translation>Restart Later</translation>
    </message>
</context>
</TS>
