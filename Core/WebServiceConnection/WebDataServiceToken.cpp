#include "Common/StringFormat.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>
#include <openssl/evp.h>

#include <array>

// The bearer token: the password grant against "token", reading its answer,
// and which held token may be handed out for which credentials.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

namespace {

// The error names the server gives, in the order they are looked for.
struct ErrorName {
    const char* text;
    AuthorizeResultCode code;
};
constexpr std::array<ErrorName, 3> ErrorNames = {{
    {"invalid_grant", AuthorizeResultCode::InvalidGrant},
    {"invalid_card", AuthorizeResultCode::InvalidCard},
    {"invalid_userinactive", AuthorizeResultCode::UserInactive},
}};

}  // namespace

// Obtains a token for the credentials: a token already granted for the very
// same credentials and not expired is reused; any other needs a grant, so
// that a PIN or password is checked by the server whatever token is held.
AuthorizeResult WebDataService::Authorize(CVAuthenticationOption option, const std::string& user,
                                          const std::string& password, std::string& token)
{
    AuthorizeResult result;
    if (option == CVAuthenticationAutomatic || option == CVAuthenticationNetworkDirect) {
        Log::Error("Error: Selected authorization not supported on the OS");
        result.mstrMessage = "Authorization type not supported on this OS";
        return result;
    }
    if (option == CVAuthenticationPinAndPassword && password.empty()) {
        Log::Error("Error: No password provided for authtype: PIN and Password.");
        result.mintResultCode = AuthorizeResultCode::InvalidGrant;
        result.mstrMessage = "No password provided.";
        return result;
    }

    std::string owner = mCredentialDigest(option, user, password);
    {
        std::lock_guard lock(mLock);
        mExpireTokenNoLock();
        if (!mstrToken.empty() && !owner.empty() && mstrTokenOwner == owner) {
            token = mstrToken;
            result.mintResultCode = AuthorizeResultCode::Success;
            return result;
        }
    }
    if (!CanReach())
        return result;

    WebDataServiceResponse response;
    AuthenticationRequest(response, mUrlFor("token"), user, password, option);
    if (response.mintStatus == 200 || response.mintStatus == 400 || response.mintStatus == 401) {
        std::string granted;
        result = mProcessAuthResponse(response.mstrBody, owner, granted);
        if (result.mintResultCode == AuthorizeResultCode::Success)
            token = granted;
        return result;
    }
    Log::Error("Authorization Error: %s", response.mstrBody);
    Log::Debug("Authorization Error code: %ld", static_cast<long>(response.mintStatus));
    return result;
}

// Reads a token answer given from outside; a token found has no known owner.
AuthorizeResult WebDataService::ProcessAuthResponse(const std::string& body)
{
    std::string granted;
    return mProcessAuthResponse(body, std::string(), granted);
}

// Reads a token answer: a token is stored for the given credentials and
// handed back in granted; an error name becomes the result code.
AuthorizeResult WebDataService::mProcessAuthResponse(const std::string& body, const std::string& owner,
                                                     std::string& granted)
{
    AuthorizeResult result;
    std::string value;
    if (ParseOAuthResponse(body, "access_token", value)) {
        std::lock_guard lock(mLock);
        mStoreTokenNoLock(value, owner);
        granted = mstrToken;
        result.mintResultCode = AuthorizeResultCode::Success;
        return result;
    }
    std::string error;
    if (!ParseOAuthResponse(body, "error", error))
        return result;
    Log::Error("Error: %s", error);
    for (const ErrorName& name : ErrorNames) {
        if (error.find(name.text) != std::string::npos) {
            result.mintResultCode = name.code;
            break;
        }
    }
    std::string description;
    if (ParseOAuthResponse(body, "error_description", description))
        result.mstrMessage = description;
    return result;
}

// The text under a key of a JSON object answer; false (with a log line) when
// the answer is not JSON, lacks the key or holds something else there.
bool WebDataService::ParseOAuthResponse(const std::string& body, const std::string& key, std::string& value)
{
    nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (answer.is_object()) {
        auto found = answer.find(key);
        if (found != answer.end() && found->is_string()) {
            value = found->get<std::string>();
            return true;
        }
    }
    Log::Error("Error: Unable to find token.\n* Value:%s\n* Token:%s", body, key);
    return false;
}

// A SHA-256 digest of the credentials, so a held token can be matched to the
// credentials it was granted for without keeping the password.
std::string WebDataService::mCredentialDigest(CVAuthenticationOption option, const std::string& user,
                                              const std::string& password)
{
    std::string material = std::to_string(static_cast<int>(option));
    for (const std::string* part : {&user, &password}) {
        material += '\n';
        material += std::to_string(part->size());
        material += ':';
        material += *part;
    }
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(material.data(), material.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1)
        return std::string();  // no digest: the held token is never reused
    return std::string(reinterpret_cast<const char*>(digest.data()), length);
}

}  // namespace CVClientData
