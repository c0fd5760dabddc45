<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The client's texts in English. Keys are the source texts; the context is
     the table. Format texts take their argument as %1. -->
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
    <message>
        <source>Client_Dock_About_Menu_Text</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>Client_Dock_Check_Balance_Menu_Text</source>
        <translation>Balance Remaining…</translation>
    </message>
    <message>
        <source>Client_Dock_Show_Pending_Menu_Text</source>
        <translation>Show Pending Jobs…</translation>
    </message>
    <message>
        <source>Client_Dock_Cancel_Batch_Menu_Text</source>
        <translation>Cancel Batch</translation>
    </message>
    <message>
        <source>Client_Dock_Quit_Menu_Text</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Client_Main_Hide_Menu_Text</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>Client_Main_Quit_Menu_Text</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Client_About_Version_Text</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Client_Error_Not_Using_Balances</source>
        <translation>Your account does not use a balance in %1, so there is no balance to show.</translation>
    </message>
    <message>
        <source>Client_Job_Continue_Cancel_Message</source>
        <translation>%1

Do you want to print this job? Choose OK to print it or Cancel to cancel it.</translation>
    </message>
    <message>
        <source>Client_Job_Cancelled_Message</source>
        <translation>Your print job was cancelled.</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Application_Message</source>
        <translation>Printing from this application is not allowed. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_User_Message</source>
        <translation>You are not allowed to print. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Printer_Message</source>
        <translation>You are not allowed to print to this printer. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Require_Duplex_Message</source>
        <translation>This printer only takes jobs printed on both sides. Print the job double-sided and try again. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Mono_Only_Message</source>
        <translation>This printer only takes black and white jobs. Print the job in black and white and try again. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Color_Only_Message</source>
        <translation>This printer only takes colour jobs. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_N_Up_Message</source>
        <translation>This printer needs several pages printed on each sheet. Change the pages per sheet and try again. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Zero_Balance</source>
        <translation>Your balance is too low to print this job. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Disconnected_Message</source>
        <translation>The print server cannot be reached, and jobs are not allowed to print without it. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Security_Message</source>
        <translation>The job could not be secured for release at the printer. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Server_Error_Message</source>
        <translation>The print server could not process this job. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Cannot_Duplex_Message</source>
        <translation>This printer cannot print on both sides. Print the job single-sided and try again. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Compatibility_Message</source>
        <translation>This job cannot be printed on this printer. %1</translation>
    </message>
    <message>
        <source>Client_Cancellation_Reason_Unknown_Error</source>
        <translation>The job was cancelled for a reason the client does not know. %1</translation>
    </message>
    <message>
        <source>Client_Job_Secure_Job_Secure</source>
        <translation>Job Secured</translation>
    </message>
    <message>
        <source>Client_Job_Secure_Successful</source>
        <translation>“%1” is held for you. Release it at the printer of your choice.</translation>
    </message>
    <message>
        <source>Client_Job_Secure_Failed_Secure</source>
        <translation>Failed to Secure Job</translation>
    </message>
    <message>
        <source>Client_Job_Failed_Secure_Message</source>
        <translation>The job could not be held for release at a printer and was not printed.</translation>
    </message>
</context>
</TS>
