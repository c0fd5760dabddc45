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
        <translation>%1 B&amp;W, %2 colour</translation>
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
        <translation>Enter a number of zero or more, such as 0.25.</translation>
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
