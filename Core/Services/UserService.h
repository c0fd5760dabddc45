#pragma once

#include "Core/Services/BaseService.h"
#include "Core/Services/IUIController.h"

#include <string>

namespace CVClientData {
class ClientSettings;
class User;
}  // namespace CVClientData

namespace CVCoreDataServices {

// Authenticates users against the server for the job threads and the login
// windows. Each successful login leaves the user's token in the web service
// and in the user's "ServiceAuthToken", and the user re-read from the server.
class UserService : public BaseService {
public:
    explicit UserService(CVClientData::WebDataService& service) : BaseService(service) {}

    // Authenticates the job's or the balance check's user as the settings'
    // authentication type says: a running batch keeps its login, type 0 takes
    // the workstation's user, every other type asks through the user
    // interface (none given: false). True when the user is authenticated and
    // re-read from the server.
    bool AuthenticateUser(CVClientData::User& user, IUIController* controller, CVClientData::ClientSettings& settings,
                          AuthenticatedOperationType operation);

    // Logs in with a PIN (and a password; none counts as empty) as the
    // settings' authentication type says; the last argument is not used.
    bool ValidatePinCode(CVClientData::User& user, const CVClientData::ClientSettings& settings,
                         const std::string& pin, const std::string* password, bool& unused);

    // Logs in with network credentials, "<domain>\<user>" when a domain is given.
    bool ValidateNetworkCredentials(CVClientData::User& user, CVClientData::ClientSettings& settings,
                                    std::string userName, std::string password, std::string domain);

    // Checks the PIN and its current password with the server, then sets the
    // new password.
    bool ResetPinPassword(CVClientData::User& user, const std::string& pin, const std::string& currentPassword,
                          const std::string& newPassword);

    // Re-reads the user from the server.
    bool RefreshUser(CVClientData::User& user);
};

}  // namespace CVCoreDataServices
