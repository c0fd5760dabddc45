#include "Core/WebServiceConnection/WebDataService.h"

#include "Common/SettingsManager.h"
#include "Common/StringFormat.h"
#include "Core/WebServiceConnection/CurlConnectionShare.h"
#include "Core/WebServiceConnection/CurlTransfer.h"
#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <cstdlib>

using Log = ComponentLog<LogComponents::Memory>;
using MessagingLog = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

namespace {

// A value below 1 gives the default.
int32_t OrDefault(int32_t seconds, int32_t fallback)
{
    return seconds < 1 ? fallback : seconds;
}

// Whether a token can go into an "Authorization" header as it is.
bool IsSendableToken(const std::string& token)
{
    return std::none_of(token.begin(), token.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

}  // namespace

// A service on the system clock.
WebDataService::WebDataService() : WebDataService(SystemClock::Shared()) {}

// Reads the service address and the CA bundle; every other field starts empty.
WebDataService::WebDataService(const IClock& clock)
    : mStatus(clock), mConnections(std::make_unique<CurlConnectionShare>())
{
    Log::Debug("+++ Web Data Service +++");
    SettingsManager settings;  // reads the preferences as it is made
    std::string url = settings.GetServiceUrl();
    if (url.empty())
        MessagingLog::Error("Service URL Empty or Null... Critical Error. ");
    else
        NormalizeUrl(url);
    if (const char* bundle = std::getenv(CaBundleVariable); bundle != nullptr)
        mstrCaBundle = bundle;
}

// Logs the end of the service.
WebDataService::~WebDataService()
{
    Log::Debug("--- Web Data Service ---");
}

// Endpoint paths are appended to the address directly, so an address that
// names a folder ("https://print.example.com:8443", or one with a path
// prefix) gets its closing "/"; without it the path would run into the port
// or the prefix's last segment.
void WebDataService::NormalizeUrl(const std::string& url)
{
    std::string base = url;
    if (!base.empty() && base.back() != '/')
        base.push_back('/');
    SetServiceUrl(std::move(base));
}

// Replaces the service address for the requests that start from now on.
void WebDataService::SetServiceUrl(std::string url)
{
    std::lock_guard lock(mLock);
    mstrServiceUrl = std::move(url);
}

// A copy of the service address.
std::string WebDataService::GetServiceUrl()
{
    std::lock_guard lock(mLock);
    return mstrServiceUrl;
}

// The version text sent in job bodies (empty: nothing sets it).
std::string WebDataService::GetClientVersion() const
{
    std::lock_guard lock(mLock);
    return mstrClientVersion;
}

// The computer named in token requests (empty: nothing sets it).
std::string WebDataService::GetComputerName() const
{
    std::lock_guard lock(mLock);
    return mstrComputerName;
}

// Replaces the time-outs of the requests that start from now on.
void WebDataService::SetTimeouts(int32_t connectSeconds, int32_t requestSeconds, int32_t pingSeconds)
{
    std::lock_guard lock(mLock);
    mintConnectTimeout = OrDefault(connectSeconds, DefaultConnectTimeout);
    mintRequestTimeout = OrDefault(requestSeconds, DefaultRequestTimeout);
    mintPingTimeout = OrDefault(pingSeconds, DefaultPingTimeout);
}

// Trusts the CAs of this PEM file in place of the system's (empty: the system's).
void WebDataService::SetCaBundle(std::string path)
{
    std::lock_guard lock(mLock);
    mstrCaBundle = std::move(path);
}

// The CA bundle in use, empty for the system's.
std::string WebDataService::GetCaBundle() const
{
    std::lock_guard lock(mLock);
    return mstrCaBundle;
}

// A copy of the status record.
WebDataStatus WebDataService::GetStatus() const
{
    std::lock_guard lock(mLock);
    return mStatus;
}

// The limits of a JSON request, a file transfer or the ping.
TransferLimits WebDataService::mLimits(LimitKind kind) const
{
    std::lock_guard lock(mLock);
    switch (kind) {
    case LimitKind::Json:
        return {mintConnectTimeout, mintRequestTimeout, 0};
    case LimitKind::File:
        return {mintConnectTimeout, 0, mintRequestTimeout};
    case LimitKind::Ping:
        break;
    }
    return {mintPingTimeout, mintPingTimeout, 0};
}

// The service address with the path appended.
std::string WebDataService::mUrlFor(const std::string& path) const
{
    std::lock_guard lock(mLock);
    return stringFormat("%s%s", mstrServiceUrl, path);
}


// Stores a token from outside; it belongs to no known credentials.
void WebDataService::UpdateToken(std::string token)
{
    std::lock_guard lock(mLock);
    mStoreTokenNoLock(token, std::string());
}

// Adopts a token obtained earlier without stamping its time; the code stays -1.
AuthorizeResult WebDataService::Authorize(std::string& token)
{
    if (!token.empty() && IsSendableToken(token)) {
        std::lock_guard lock(mLock);
        mstrToken = token;
        mstrTokenOwner.clear();
    }
    return AuthorizeResult();
}

// Forgets the token (before every PIN or network login).
void WebDataService::ResetAuthToken()
{
    mClearToken();
}

// The token, after forgetting it when its time is up.
std::string WebDataService::GetToken()
{
    std::lock_guard lock(mLock);
    mExpireTokenNoLock();
    return mstrToken;
}

// Whether a token is held and its time is not up.
bool WebDataService::HasToken()
{
    std::lock_guard lock(mLock);
    return !mStatus.TokenRequiresRefresh() && mstrToken.size() >= 2;
}

// Stores and stamps a usable token with the credentials it was granted for;
// anything else leaves no token (and the token time as it was).
void WebDataService::mStoreTokenNoLock(const std::string& token, const std::string& owner)
{
    if (token.size() < 2 || !IsSendableToken(token)) {
        if (token.size() >= 2)
            MessagingLog::Error("Error: Token holds characters not allowed in a header.");
        mstrToken.clear();
        mstrTokenOwner.clear();
        return;
    }
    mstrToken = token;
    mstrTokenOwner = owner;
    mStatus.UpdateTokenTime();
}

// Forgets a token whose time is up (or whose server failed a ping since).
void WebDataService::mExpireTokenNoLock()
{
    if (mStatus.TokenRequiresRefresh()) {
        mstrToken.clear();
        mstrTokenOwner.clear();
    }
}

// Forgets the token and whom it was granted to.
void WebDataService::mClearToken()
{
    std::lock_guard lock(mLock);
    mstrToken.clear();
    mstrTokenOwner.clear();
}

}  // namespace CVClientData
