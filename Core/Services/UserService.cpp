#include "Core/Services/UserService.h"

#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Core/Services/CVBatchMode.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

namespace CVCoreDataServices {

namespace {

using CVClientData::AuthorizeResult;
using CVClientData::AuthorizeResultCode;
using Log = ComponentLog<LogComponents::CoreGeneral>;

// A fresh grant for the credentials under the settings' authentication
// type (the held token is dropped first, so the server checks them), then
// the user read again with the new token.
bool LogInAndReadUser(CVClientData::WebDataService& service, CVClientData::User& user,
                      const CVClientData::ClientSettings& settings, const std::string& login,
                      const std::string& password, const char* validatedLine)
{
    service.ResetAuthToken();
    std::string token;
    AuthorizeResult result =
        service.Authorize(static_cast<CVAuthenticationOption>(settings.AuthenticationType), login, password, token);
    if (result.mintResultCode != AuthorizeResultCode::Success || token.size() < 2)
        return false;
    bool ok = service.GetUser(user);
    user.ServiceAuthToken = token;
    Log::Debug("%s", validatedLine);
    return ok;
}

}  // namespace

// A running batch keeps its login; type 0 takes the workstation's user; any
// other type needs the user interface to ask.
bool UserService::AuthenticateUser(CVClientData::User& user, IUIController* controller,
                                   CVClientData::ClientSettings& settings, AuthenticatedOperationType operation)
{
    if (user.BatchMode == CVBatchModeManual || user.BatchMode == CVBatchModeAutomatic) {
        Log::Info("AuthenticatedUser.- Batch mode active, previously logged in.");
        return mWebDataService.GetUser(user);
    }
    if (settings.AuthenticationType == CVAuthenticationLoggedInUser) {
        Log::Info("AuthenticatedUser -  using currently logged in user");
        // A failed grant leaves no token, and then GetUser fails too.
        mWebDataService.Authorize(CVAuthenticationLoggedInUser, user.NetworkName, std::string(),
                                  user.ServiceAuthToken);
        return mWebDataService.GetUser(user);
    }
    if (controller == nullptr) {
        Log::Info("AuthenticatedUser - Requested authentication prompt but cannot display GUI. Not Valid");
        return false;
    }
    Log::Info("AuthenticatedUser - Requesting authentication prompt from the GUI");
    return controller->PromptForAuthentication(user, mWebDataService, settings, operation);
}

// A fresh grant for the PIN (and password), then the user re-read.
bool UserService::ValidatePinCode(CVClientData::User& user, const CVClientData::ClientSettings& settings,
                                  const std::string& pin, const std::string* password, bool&)
{
    DebugScope scope(LogComponents::CoreGeneral, "ValidatePinCode");
    return LogInAndReadUser(mWebDataService, user, settings, pin, password != nullptr ? *password : std::string(),
                            "ValidatePinCode - PIN validated.");
}

// A fresh grant for "<domain>\<user>" (or the bare user name), then the user re-read.
bool UserService::ValidateNetworkCredentials(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                             std::string userName, std::string password, std::string domain)
{
    DebugScope scope(LogComponents::CoreGeneral, "ValidateNetworkCredentials");
    std::string login = domain.empty() ? userName : domain + "\\" + userName;
    return LogInAndReadUser(mWebDataService, user, settings, login, password, "Validated network user.");
}

// The held token is dropped first, so that the server really checks the PIN
// and its current password before the new one is set.
bool UserService::ResetPinPassword(CVClientData::User& user, const std::string& pin,
                                   const std::string& currentPassword, const std::string& newPassword)
{
    Log::Debug("ResetPinPassword");
    mWebDataService.ResetAuthToken();
    AuthorizeResult result =
        mWebDataService.Authorize(CVAuthenticationPinAndPassword, pin, currentPassword, user.ServiceAuthToken);
    if (result.mintResultCode != AuthorizeResultCode::Success || user.ServiceAuthToken.empty())
        return false;
    bool ok = mWebDataService.ResetPINPassword(newPassword);
    Log::Info("ResetPinPassword -  reset pin password returned.");
    return ok;
}

// The user as the server now knows it.
bool UserService::RefreshUser(CVClientData::User& user)
{
    return mWebDataService.GetUser(user);
}

}  // namespace CVCoreDataServices
