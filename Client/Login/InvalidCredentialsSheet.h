#pragma once

#include "Core/Services/IUIController.h"

class QWidget;

namespace Login {

// Tells the user that the login was refused, in an alert with "OK_Button"
// as a sheet on the login window, which stays open for another try. The
// texts say what the login was for: the balance check or printing (any
// other operation). Returns when the alert has been answered.
void ShowInvalidCredentialsSheet(QWidget& loginWindow, CVCoreDataServices::AuthenticatedOperationType operation);

}  // namespace Login
