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
        <translation>%1 B&amp;W pages</translation>
    </message>
    <message>
        <source>Balance_Format_Color_Pages</source>
        <translation>%1 colour pages</translation>
    </message>
    <message>
        <source>Balance_Format_BW_And_Color_Pages</source>
        <translation>%1 B&amp;W pages
%2 colour pages</translation>
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
    <!-- Custom-field controls, their search dialog and the sheet that adds a value. -->
    <message>
        <source>Custom_Fields_Last_Ten_Header</source>
        <translation>Recently used</translation>
    </message>
    <message>
        <source>Custom_Fields_Last_Ten_Footer</source>
        <translation>All values</translation>
    </message>
    <message>
        <source>Client_Custom_Field_Add_Button</source>
        <translation>Add a new value</translation>
    </message>
    <message>
        <source>Client_Custom_Field_Search_Button</source>
        <translation>Search the values</translation>
    </message>
    <message>
        <source>Client_Add_Custom_Field_Add_New_Text</source>
        <translation>Add a new %1 value</translation>
    </message>
    <message>
        <source>Client_Add_Custom_Field_Description_Label</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>Client_Add_Custom_Field_Add_Button</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Client_Add_Custom_Field_Error_Unexpected_Message</source>
        <translation>The new %1 value could not be added.</translation>
    </message>
    <message>
        <source>Client_Add_Custom_Field_Error_Unexpected_Information_Message</source>
        <translation>The server did not accept it. Check the code and try again, or ask your administrator.</translation>
    </message>
    <message>
        <source>Client_Search_Window_Heading</source>
        <translation>Search %1</translation>
    </message>
    <message>
        <source>Client_Search_For_Label</source>
        <translation>Search for:</translation>
    </message>
    <message>
        <source>Client_Search_Button</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Client_Search_Column_Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Client_Search_Column_Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Client_Search_Previous_Button</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Client_Search_Next_Button</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Client_Search_Select_Button</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Client_Search_Results_Paging_Text</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>Client_Search_Error_Value_No_Longer_Exists_Message</source>
        <translation>The %1 value you chose no longer exists.</translation>
    </message>
    <message>
        <source>Client_Search_Error_Value_No_Longer_Exists_Instructions_Message</source>
        <translation>It has been removed from your recent %1 values. Choose another value or search for it.</translation>
    </message>
    <!-- The job pop-up and its batch sheet. -->
    <message>
        <source>Client_New_Job_Popup_Title</source>
        <translation>%1 – Print Job</translation>
    </message>
    <message>
        <source>Client_Pending_Job_Single_Title</source>
        <translation>%1 – Pending Job</translation>
    </message>
    <message>
        <source>Client_Pending_Job_Multiple_Title</source>
        <translation>%1 – Pending Jobs</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Printer</source>
        <translation>Printer:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Document</source>
        <translation>Document:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Comment</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_BW_Unit_Cost</source>
        <translation>B&amp;W unit cost:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Color_Unit_Cost</source>
        <translation>Colour unit cost:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Added_Cost</source>
        <translation>Added cost:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Job_Cost</source>
        <translation>Job cost:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_User</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Balance</source>
        <translation>Balance:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Pages</source>
        <translation>Pages:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Total</source>
        <translation>Total:</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Pages_BW_And_Color</source>
        <translation>%1 B&amp;W, %2 colour</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Pages_Total</source>
        <translation>%1 pages</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Square_Foot</source>
        <translation>%1 sq ft</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Square_Meter</source>
        <translation>%1 m²</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Square_Inches</source>
        <translation>%1 sq in</translation>
    </message>
    <message>
        <source>Client_Popup_Label_Linear_Feet</source>
        <translation>%1 ft</translation>
    </message>
    <message>
        <source>Currency_Symbol</source>
        <translation>$%1</translation>
    </message>
    <message>
        <source>Print_Button</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Save_Button</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Cancel_Job_Button</source>
        <translation>Cancel Job</translation>
    </message>
    <message>
        <source>Batch_Button</source>
        <translation>Batch…</translation>
    </message>
    <message>
        <source>Snooze_Button</source>
        <translation>Snooze</translation>
    </message>
    <message>
        <source>Client_Popup_Added_Cost_Error_Invalid_Value_Message</source>
        <translation>The added cost is not a valid amount.</translation>
    </message>
    <message>
        <source>Client_Popup_BW_Unit_Cost_Error_Invalid_Value_Message</source>
        <translation>The black-and-white unit cost is not a valid amount.</translation>
    </message>
    <message>
        <source>Client_Popup_Color_Unit_Cost_Error_Invalid_Value_Message</source>
        <translation>The colour unit cost is not a valid amount.</translation>
    </message>
    <message>
        <source>Client_Popup_Added_Cost_Error_Invalid_Value_Instructions_Message</source>
        <translation>Enter a number of zero or more, such as %1.</translation>
    </message>
    <message>
        <source>Client_Popup_Pending_Job_Error_None_Selected</source>
        <translation>No job is selected.</translation>
    </message>
    <message>
        <source>Client_Popup_Pending_Job_Error_Non_Selected_Insructions_Message</source>
        <translation>Tick the jobs to print, then press Save.</translation>
    </message>
    <message>
        <source>Client_Popup_Custom_Field_Error_None_Selected_Message</source>
        <translation>%1 has no value.</translation>
    </message>
    <message>
        <source>Client_Popup_Custom_Feild_Error_No_Value_Selected_Message</source>
        <translation>Choose or enter a value for %1 before printing.</translation>
    </message>
    <message>
        <source>Client_Popup_Error_Job_Exceeds_Balance_Message</source>
        <translation>This job costs more than your remaining balance.</translation>
    </message>
    <message>
        <source>Client_Popup_Error_Job_Exceeds_Balance_Instructions_Message</source>
        <translation>Print fewer pages, or ask your administrator to add to your balance.</translation>
    </message>
    <message>
        <source>Client_Popup_Custom_Field_Value_Error_Over_Budget_Message</source>
        <translation>The value chosen for %1 has not enough budget left for this job.</translation>
    </message>
    <message>
        <source>Client_Popup_Custom_Field_Value_Error_Over_Budget_Instructions_Message</source>
        <translation>Choose another value for %1, or ask your administrator to add to its budget.</translation>
    </message>
    <message>
        <source>Client_Pending_Job_Column_Selected</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Client_Pending_Job_Column_Document</source>
        <translation>Document</translation>
    </message>
    <message>
        <source>Client_Pending_Job_Column_Printer</source>
        <translation>Printer</translation>
    </message>
    <message>
        <source>Client_Pending_Job_Column_Date_Printed</source>
        <translation>Printed</translation>
    </message>
    <message>
        <source>Client_Manual_Batch_Title</source>
        <translation>Batch</translation>
    </message>
    <message>
        <source>Client_Manual_Batch_Instructions</source>
        <translation>Print the next jobs without this window: how many jobs, this one included, go in the batch?</translation>
    </message>
    <message>
        <source>Client_Manual_Batch_Size_Label</source>
        <translation>Jobs in the batch:</translation>
    </message>
    <message>
        <source>Client_Manual_Batch_Error_Value_Exceeded_Message</source>
        <translation>The batch is too large.</translation>
    </message>
    <message>
        <source>Client_Manual_Batch_Error_Value_Exceeded_Instructions_Message</source>
        <translation>A batch holds at most %1 jobs.</translation>
    </message>
</context>
</TS>
