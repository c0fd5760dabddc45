#include "Client/Login/LoginWindowController.h"

#include "Client/Login/ModalWindow.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QDialog>

LoginWindowController::LoginWindowController(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                             CVClientData::WebDataService& webDataService)
    : _user(user),
      _clientSettings(settings),
      _webDataService(webDataService),
      _productName(Platform::LocalizedStrings::Text(QStringLiteral("Quorvel"), QStringLiteral("Branding")))
{
}

// The answer is no until a validation sets it; closing the window by any
// means (Cancel, Escape, its close box, the application quitting) keeps it.
bool LoginWindowController::mRunModal(QDialog& window, CVCoreDataServices::AuthenticatedOperationType operation)
{
    _returnCode = 0;
    _authenticatedOperationType = operation;
    Login::RunModal(window);
    return _returnCode == 1;
}

void LoginWindowController::mCloseValidated(QDialog& window)
{
    _returnCode = 1;
    window.accept();
}
