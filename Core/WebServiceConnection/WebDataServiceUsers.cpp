#include "Core/CVModels/User.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/WebDataService.h"

#include <nlohmann/json.hpp>

// The user endpoints: the token's user and its PIN password.

namespace CVClientData {

// Sends the user record with the token and takes the server's record.
bool WebDataService::GetUser(User& user)
{
    WebDataServiceResponse response;
    if (!mCall("GetUser", RequestKind::Authenticated, "GET", mUrlFor("printapi/users"), RecordText(user), response))
        return false;
    return mReadAnswer("GetUser", response, [&user](const nlohmann::json& answer) { ReadRecordOver(answer, user); });
}

// Sets a new PIN password for the token's user.
bool WebDataService::ResetPINPassword(const std::string& newPassword)
{
    if (!HasToken())
        return false;
    nlohmann::json request = {{"newPassword", newPassword}};
    WebDataServiceResponse response;
    return mCall("ResetPINPasswrod", RequestKind::Authenticated, "POST", mUrlFor("printapi/users/setpinpassword"),
                 CompactDump(request), response);
}

}  // namespace CVClientData
