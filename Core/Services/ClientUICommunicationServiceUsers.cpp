#include "Core/Services/ClientUICommunicationService.h"

#include "CoreLogger/ComponentLog.h"
#include "Core/Services/IUIController.h"
#include "Core/Services/UserService.h"
#include "Core/WebServiceConnection/WebDataService.h"

#include <filesystem>
#include <system_error>
#include <utility>

// The client settings, the logged-in user with its cache file, and the batch user.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreClientCommunication>;
using CVClientData::User;

namespace {

// A token of fewer characters is no token.
constexpr size_t MinimumTokenLength = 2;

// Asks the server for a token for the user name without a password, as
// authentication by the workstation's login does; the token when granted.
std::optional<std::string> AuthorizeWithoutPassword(CVClientData::WebDataService& service, int32_t authenticationType,
                                                    const std::string& userName)
{
    std::string token;
    CVClientData::AuthorizeResult result =
        service.Authorize(static_cast<CVAuthenticationOption>(authenticationType), userName, "", token);
    if (result.mintResultCode != CVClientData::AuthorizeResultCode::Success || token.size() < MinimumTokenLength)
        return std::nullopt;
    return token;
}

// The user as given or, with refresh set, a record of only the user's id
// re-read from the server; none when that read fails.
std::optional<User> UserToHold(CVClientData::WebDataService& service, const User& user, bool refresh)
{
    if (!refresh)
        return user;
    User fresh;
    fresh.Id = user.Id;
    if (!UserService(service).RefreshUser(fresh))
        return std::nullopt;
    return fresh;
}

}  // namespace

CVClientData::ClientSettings ClientUICommunicationService::GetClientSettings()
{
    return RefreshClientSettings();
}

// Reloads the settings (from the cache file, then from the server) and the
// logged-in user. A change of the authentication settings ends the batch and
// forgets the user and the last job. Server failures leave the cached
// settings and user in force.
CVClientData::ClientSettings ClientUICommunicationService::RefreshClientSettings()
{
    UsersLock lock(*this);
    mClientSettings.FromLocalStorageFile();
    int32_t knownAuthenticationType = mClientSettings.AuthenticationType;
    int32_t knownNetworkType = mClientSettings.NetworkType;
    if (mClientSettings.LoadFromNetwork(mWebDataService, true))
        mClientLogo.Update(mWebDataService);

    if (knownAuthenticationType != mClientSettings.AuthenticationType ||
        knownNetworkType != mClientSettings.NetworkType) {
        Log::Debug("RefreshClientSettings - authentication settings changed (type %d to %d, network type %d to %d); "
              "the logged-in user and the batch are dropped.",
              knownAuthenticationType, mClientSettings.AuthenticationType, knownNetworkType,
              mClientSettings.NetworkType);
        mSetLoggedInUserNoLock(nullptr);
        // The cached user was logged in under the old settings: left on
        // disk, the login below would read it straight back.
        std::error_code ignored;
        std::filesystem::remove(mUserCachePath(), ignored);
        mCancelBatchNoLock();
        mLastPrintJob.reset();
    }

    if (mClientSettings.AuthenticationType != 0 || !mLoggedInUser) {
        // A PIN or a network login is the user's to give: the name alone is
        // not tried in their stead, since a refused try may count towards the
        // server's lock-out of the account before the user was ever asked.
        std::optional<std::string> token;
        if (mClientSettings.IsAutomaticAuthentication())
            token = AuthorizeWithoutPassword(mWebDataService, mClientSettings.AuthenticationType, mEnvironment.UserName);
        User user;
        user.NetworkName = mEnvironment.UserName;
        if (token) {
            user.ServiceAuthToken = *token;
            // The server's record replaces the user's, token and all; the
            // cache file keeps the token with the user.
            mWebDataService.GetUser(user);
            user.ServiceAuthToken = *token;
        }
        mSetLoggedInUserNoLock(std::make_shared<const User>(user));
        // A user the server did not return is read back from the cache.
        mCacheLoggedInUserNoLock(user, true);
        User cached = *mLoggedInUser;
        cached.ServiceAuthToken = token.value_or(std::string());
        mSetLoggedInUserNoLock(std::make_shared<const User>(std::move(cached)));
    } else {
        std::optional<std::string> token = AuthorizeWithoutPassword(mWebDataService, 0, mEnvironment.UserName);
        if (token) {
            User user = *mLoggedInUser;
            mWebDataService.GetUser(user);
            user.ServiceAuthToken = *token;
            mSetLoggedInUserNoLock(std::make_shared<const User>(user));
            mCacheLoggedInUserNoLock(user, true);
        }
    }
    Log::Debug("RefreshClientSettings User: %s", mLoggedInUser ? mLoggedInUser->DisplayName : std::string());
    return mClientSettings;
}

void ClientUICommunicationService::CacheLoggedInUser(const User& user, bool write)
{
    UsersLock lock(*this);
    mCacheLoggedInUserNoLock(user, write);
}

// A missing or unreadable cache file leaves the logged-in user as it was
// (an empty one when there was none).
void ClientUICommunicationService::mCacheLoggedInUserNoLock(const User& user, bool write)
{
    std::string path = mUserCachePath();
    User loggedIn = mLoggedInUser ? *mLoggedInUser : User();
    if (write && user.Id != 0)
        user.WriteToBinaryFile(path, PrivateFileWriter::Durability::Cache);
    loggedIn.LoadFromBinaryFile(path);
    bool usingBalances = loggedIn.Type != 0;
    mSetLoggedInUserNoLock(std::make_shared<const User>(std::move(loggedIn)));
    mQueueNoticeNoLock([usingBalances](IUIController& ui) { ui.SetUsingBalances(usingBalances); });
}

std::string ClientUICommunicationService::mUserCachePath() const
{
    return mEnvironment.JobCacheFolder + UserCacheFileName;
}

void ClientUICommunicationService::SetLastUser(const User& user, bool refresh)
{
    UsersLock lock(*this);
    mSetLastUserNoLock(user, refresh);
}

// Only authentication by the workstation's login keeps a user logged in
// between jobs; the user given then becomes the logged-in user and is cached.
void ClientUICommunicationService::mSetLastUserNoLock(const User& given, bool refresh)
{
    const User user = given;  // the caller's record may be the one dropped below
    mSetLoggedInUserNoLock(nullptr);
    if (mClientSettings.AuthenticationType != 0)
        return;
    bool usingBalances = user.Type != 0;
    mQueueNoticeNoLock([usingBalances](IUIController& ui) { ui.SetUsingBalances(usingBalances); });
    std::optional<User> lastUser = UserToHold(mWebDataService, user, refresh);
    if (!lastUser)
        return;
    mSetLoggedInUserNoLock(std::make_shared<const User>(*lastUser));
    mCacheLoggedInUserNoLock(*lastUser, true);
}

// Refresh set: the user re-read from the server is kept only when that
// succeeds.
void ClientUICommunicationService::SetBatchUser(const User* user, bool refresh)
{
    UsersLock lock(*this);
    mSetBatchUserNoLock(nullptr);
    if (user == nullptr)
        return;
    if (std::optional<User> batchUser = UserToHold(mWebDataService, *user, refresh))
        mSetBatchUserNoLock(std::make_shared<const User>(std::move(*batchUser)));
}

std::shared_ptr<const User> ClientUICommunicationService::GetLoggedInUser() const
{
    std::lock_guard lock(mSnapshotLock);
    return mLoggedInUser;
}

std::shared_ptr<const User> ClientUICommunicationService::GetBatchUser() const
{
    std::lock_guard lock(mSnapshotLock);
    return mBatchUser;
}

void ClientUICommunicationService::mSetLoggedInUserNoLock(std::shared_ptr<const User> user)
{
    std::lock_guard lock(mSnapshotLock);
    mLoggedInUser = std::move(user);
}

void ClientUICommunicationService::mSetBatchUserNoLock(std::shared_ptr<const User> user)
{
    std::lock_guard lock(mSnapshotLock);
    mBatchUser = std::move(user);
}

// Authenticates a user for the Dock menu's balance check: by the name alone
// when the server grants it, else through the user service (which may ask
// the user). The user found also becomes the cached logged-in user. Called
// with no lock held, as it may wait for the user.
std::optional<User> ClientUICommunicationService::GetValidatedUserForBalance(const std::string& userName)
{
    CVClientData::ClientSettings settings;
    {
        UsersLock lock(*this);
        settings = mClientSettings;
    }
    User user;
    user.NetworkName = userName;
    std::string token;
    // Under a PIN or a network login nothing is sent in the user's name
    // before the user has answered the login window.
    CVClientData::AuthorizeResult result;
    result.mintResultCode = CVClientData::AuthorizeResultCode::InvalidGrant;
    if (settings.IsAutomaticAuthentication())
        result = mWebDataService.Authorize(static_cast<CVAuthenticationOption>(settings.AuthenticationType), userName,
                                           "", token);
    if (result.mintResultCode != CVClientData::AuthorizeResultCode::Success) {
        if (!UserService(mWebDataService)
                 .AuthenticateUser(user, &mUIController, settings, AuthenticatedOperationBalanceCheck)) {
            Log::Error("GetValidatedUserForBalance - Authorization error:%d ", static_cast<int>(result.mintResultCode));
            return std::nullopt;
        }
    } else if (!mWebDataService.GetUser(user)) {
        return std::nullopt;
    }
    CacheLoggedInUser(user, true);
    return user;
}

}  // namespace CVCoreDataServices
