#include "Core/Services/UserService.h"

#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/User.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/Logger.h"

namespace CVCoreDataServices {

namespace {

using CVClientData::AuthorizeResult;
using CVClientData::AuthorizeResultCode;

// An information line of the user service.
void LogInfo(const char* text)
{
    Logger::Log_Info(LogComponents::CoreGeneral, text);
}

// A debug line of the user service.
void LogDebug(const char* text)
{
    Logger::Log_Debug(LogComponents::CoreGeneral, text);
}

// Brackets a function with its debug start and end lines.
class DebugScope {
public:
    explicit DebugScope(const char* name) : mName(name) { Logger::Log_Debug_Start(LogComponents::CoreGeneral, mName); }
    ~DebugScope() { Logger::Log_Debug_End(LogComponents::CoreGeneral, mName); }
    DebugScope(const DebugScope&) = delete;
    DebugScope& operator=(const DebugScope&) = delete;

private:
    const char* mName;
};

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
    LogDebug(validatedLine);
    return ok;
}

}  // namespace

// A running batch keeps its login; type 0 takes the workstation's user; any
// other type needs the user interface to ask.
bool UserService::AuthenticateUser(CVClientData::User& user, IUIController* controller,
                                   CVClientData::ClientSettings& settings, AuthenticatedOperationType operation)
{
    if (user.BatchMode == 1 || user.BatchMode == 2) {
        LogInfo("AuthenticatedUser.- Batch mode active, previously logged in.");
        return mWebDataService.GetUser(user);
    }
    if (settings.AuthenticationType == CVAuthenticationLoggedInUser) {
        LogInfo("AuthenticatedUser -  using currently logged in user");
        // A failed grant leaves no token, and then GetUser fails too.
        mWebDataService.Authorize(CVAuthenticationLoggedInUser, user.NetworkName, std::string(),
                                  user.ServiceAuthToken);
        return mWebDataService.GetUser(user);
    }
    if (controller == nullptr) {
        LogInfo("AuthenticatedUser - Requested authentication prompt but cannot display GUI. Not Valid");
        return false;
    }
    LogInfo("AuthenticatedUser - Requesting authentication prompt from the GUI");
    return controller->PromptForAuthentication(user, mWebDataService, settings, operation);
}

// A fresh grant for the PIN (and password), then the user re-read.
bool UserService::ValidatePinCode(CVClientData::User& user, const CVClientData::ClientSettings& settings,
                                  const std::string& pin, const std::string* password, bool&)
{
    DebugScope scope("ValidatePinCode");
    return LogInAndReadUser(mWebDataService, user, settings, pin, password != nullptr ? *password : std::string(),
                            "ValidatePinCode - PIN validated.");
}

// A fresh grant for "<domain>\<user>" (or the bare user name), then the user re-read.
bool UserService::ValidateNetworkCredentials(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                             std::string userName, std::string password, std::string domain)
{
    DebugScope scope("ValidateNetworkCredentials");
    std::string login = domain.empty() ? userName : domain + "\\" + userName;
    return LogInAndReadUser(mWebDataService, user, settings, login, password, "Validated network user.");
}

// The held token is dropped first, so that the server really checks the PIN
// and its current password before the new one is set.
bool UserService::ResetPinPassword(CVClientData::User& user, const std::string& pin,
                                   const std::string& currentPassword, const std::string& newPassword)
{
    LogDebug("ResetPinPassword");
    mWebDataService.ResetAuthToken();
    AuthorizeResult result =
        mWebDataService.Authorize(CVAuthenticationPinAndPassword, pin, currentPassword, user.ServiceAuthToken);
    if (result.mintResultCode != AuthorizeResultCode::Success || user.ServiceAuthToken.empty())
        return false;
    bool ok = mWebDataService.ResetPINPassword(newPassword);
    LogInfo("ResetPinPassword -  reset pin password returned.");
    return ok;
}

// The user as the server now knows it.
bool UserService::RefreshUser(CVClientData::User& user)
{
    return mWebDataService.GetUser(user);
}

}  // namespace CVCoreDataServices
