#include "Client/Login/InvalidCredentialsSheet.h"

#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

namespace Login {

void ShowInvalidCredentialsSheet(QWidget& loginWindow, CVCoreDataServices::AuthenticatedOperationType operation)
{
    using Platform::LocalizedStrings;
    const bool balanceCheck = operation == CVCoreDataServices::AuthenticatedOperationBalanceCheck;
    Platform::Alert alert(&loginWindow);
    alert.addButton(QString::fromLatin1(Platform::Alert::OkButton));
    alert.setMessageText(LocalizedStrings::Text(
        balanceCheck ? "Client_Authentication_Error_Invalid_Credentials_Balance_Check_Title"
                     : "Client_Authentication_Error_Invalid_Credentials_Printing_Title"));
    alert.setInformativeText(LocalizedStrings::Text(
        balanceCheck ? "Client_Authentication_Error_Invalid_Credentials_Balance_Check_Message"
                     : "Client_Authentication_Error_Invalid_Credentials_Printing_Message"));
    alert.runModal();
}

}  // namespace Login
