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
        <source>Client_Authentication_Window_Title</source>
        <translation>%1 Login</translation>
    </message>
    <message>
        <source>Client_Authentication_Window_Instructions_Message</source>
        <translation>%1 needs to know who you are. Enter your details and choose OK.</translation>
    </message>
    <message>
        <source>Client_Authentication_Error_Invalid_Credentials_Printing_Title</source>
        <translation>You could not be logged in to print</translation>
    </message>
    <message>
        <source>Client_Authentication_Error_Invalid_Credentials_Printing_Message</source>
        <translation>The details you entered were not accepted. Check them and try again, or choose Cancel in the login window not to print the job.</translation>
    </message>
    <message>
        <source>Client_Authentication_Error_Invalid_Credentials_Balance_Check_Title</source>
        <translation>You could not be logged in to see your balance</translation>
    </message>
    <message>
        <source>Client_Authentication_Error_Invalid_Credentials_Balance_Check_Message</source>
        <translation>The details you entered were not accepted. Check them and try again, or choose Cancel in the login window.</translation>
    </message>
    <message>
        <source>Reset_Button</source>
        <translation>Reset %1…</translation>
    </message>
    <message>
        <source>Client_Password_Reset_Window_Instructions</source>
        <translation>Choose a new %1. It replaces the %1 typed with your %2 in the login window.</translation>
    </message>
    <message>
        <source>Client_Password_New_Label</source>
        <translation>New %1:</translation>
    </message>
    <message>
        <source>Client_Password_Confirm_Label</source>
        <translation>Confirm %1:</translation>
    </message>
    <message>
        <source>Client_Password_Reset_Confirm_Button</source>
        <translation>Change %1</translation>
    </message>
    <message>
        <source>Client_Password_New_Error_Mismatch_Title</source>
        <translation>The new %1 and its confirmation are not the same</translation>
    </message>
    <message>
        <source>Client_Password_Reset_Error_Title</source>
        <translation>Your %1 could not be changed. Check the %2 and the current %3 in the login window.</translation>
    </message>
    <message>
        <source>Client_Password_Reset_Error_Message</source>
        <translation>Check the %1 you typed and try again.</translation>
    </message>
    <message>
        <source>Client_Network_Login_Username_Label</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>Client_Network_Login_Password_Label</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Client_Network_Login_Domain_Label</source>
        <translation>Domain:</translation>
    </message>
    <message>
        <source>Client_Balance_Window_Title</source>
        <translation>%1 Balance</translation>
    </message>
    <message>
        <source>Client_Balance_Window_Heading</source>
        <translation>Your remaining balance</translation>
    </message>
    <message>
        <source>Client_Balance_User_Label</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>Client_Balance_Remaining_Label</source>
        <translation>Balance:</translation>
    </message>
    <message>
        <source>Balance_Format_Costs</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>Balance_Format_Pages</source>
        <translation>%1 pages</translation>
    </message>
    <message>
        <source>Balance_Format_BW_Pages</source>
        <translation>%1 black-and-white pages</translation>
    </message>
    <message>
        <source>Balance_Format_Color_Pages</source>
        <translation>%1 colour pages</translation>
    </message>
    <message>
        <source>Balance_Format_BW_And_Color_Pages</source>
        <translation>%1 black-and-white and %2 colour pages</translation>
    </message>
    <message>
        <source>Client_Disconnected_Job_Allowed_Message</source>
        <translation>The print server cannot be reached. Your job will print and will be recorded once the server is back.</translation>
    </message>
</context>
</TS>
