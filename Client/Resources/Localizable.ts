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
</context>
</TS>
