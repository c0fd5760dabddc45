#pragma once

#include "Core/CVModels/IClientSettingsSource.h"
#include "Core/CVModels/ICustomFieldSource.h"
#include "Core/CVModels/LocalFiles/IClientLogoSource.h"
#include "Core/WebServiceConnection/AuthorizeResult.h"
#include "Core/WebServiceConnection/CVAuthenticationOption.h"
#include "Core/WebServiceConnection/Clock.h"
#include "Core/WebServiceConnection/IClientDataService.h"
#include "Core/WebServiceConnection/ResponseHeaders.h"
#include "Core/WebServiceConnection/WebDataServiceResponse.h"
#include "Core/WebServiceConnection/WebDataStatus.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace CVClientData {

class CurlConnectionShare;
struct TransferLimits;

// The REST/JSON client of the print-accounting server over libcurl. One
// instance serves the whole client process: the windows on the main thread
// and every job thread at once. Its token, time-outs and status record sit
// behind one lock that is never held during a transfer; every request runs
// on its own libcurl handle with its own limits, and the handles share one
// cache of open connections (CurlConnectionShare), so that a job's requests,
// and the next job's, need no new TLS handshake each.
//
// TLS peer and host-name verification are always on. A private CA is trusted
// by naming its PEM bundle in the environment variable CVK_CA_BUNDLE (read at
// construction) or through SetCaBundle; the bundle then replaces the system's.
//
// The implementation is split by area: WebDataService.cpp (construction,
// address, token state), WebDataServiceRequests.cpp (request primitives),
// WebDataServiceCalls.cpp (what every endpoint operation shares),
// WebDataServiceToken.cpp (password grant), WebDataServiceReach.cpp (ping),
// WebDataServiceHeaders.cpp (response headers) and one file per group of
// endpoint operations (WebDataServiceSettings.cpp, WebDataServiceCustomFields.cpp,
// WebDataServiceLogo.cpp, WebDataServicePrinters.cpp, WebDataServiceUsers.cpp,
// WebDataServiceJobs.cpp, WebDataServiceRules.cpp, WebDataServiceSecure.cpp).
//
// An endpoint operation builds its address with mUrlFor, runs one request
// primitive through mCall (which checks the status, logs the failure line and
// stamps the ping time) and reads the answer through mReadAnswer (which turns
// an answer that is not what the operation reads into a failure with the
// same line). No exception of the JSON library leaves an operation.
class WebDataService : public IClientDataService,
                       public IClientSettingsSource,
                       public ICustomFieldSource,
                       public IClientLogoSource {
public:
    static constexpr int32_t DefaultConnectTimeout = 25;  // seconds
    static constexpr int32_t DefaultRequestTimeout = 60;  // seconds
    static constexpr int32_t DefaultPingTimeout = 15;     // seconds
    static constexpr const char* CaBundleVariable = "CVK_CA_BUNDLE";

    // Reads the service address from the preferences (SettingsManager).
    WebDataService();
    // The same, with the clock that stamps and windows are read from; the
    // clock must outlive the service.
    explicit WebDataService(const IClock& clock);
    ~WebDataService() override;

    WebDataService(const WebDataService&) = delete;
    WebDataService& operator=(const WebDataService&) = delete;

    // --- Reachability, address and token (interface) ---
    bool CanReach() override;
    std::string GetServiceUrl() override;
    AuthorizeResult Authorize(CVAuthenticationOption option, const std::string& user, const std::string& password,
                              std::string& token) override;
    AuthorizeResult Authorize(std::string& token) override;

    // --- Endpoint operations (interface, in its order), one source file per area ---
    bool GetAuthenticationOption(ClientJob& job, CVAuthenticationOption& option) override;
    bool GetClientSettings(const std::string& computerName, ClientSettings& settings) override;
    bool GetCustomFields(std::vector<CustomField>& fields) override;
    bool SearchCustomFieldValues(CustomFieldValueSearch& search) override;
    bool GetCustomFieldValues(std::vector<CustomFieldValue>& values, uint64_t fieldId,
                              uint64_t parentValueId) override;
    bool GetCustomFieldValueByCode(uint64_t fieldId, uint64_t parentValueId, const std::string& code,
                                   CustomFieldValue& value) override;
    bool GetPrinter(Printer& printer, long& status) override;
    bool GetClientLogo(ClientLogoResult& result, std::string& data, std::string& date) override;
    bool GetSpecialAppList(std::vector<Application>& applications) override;
    bool GetUser(User& user) override;
    bool ResetPINPassword(const std::string& newPassword) override;
    bool SaveJob(ClientJob& job) override;
    bool SavePendingJob(ClientJob& job) override;
    bool SaveDisconnectedJob(ClientJob& job) override;
    bool ProcessJob(ClientJob& job, CVJobProcessingStage start, CVJobProcessingStage stopAfter,
                    ProcessJobResult& result) override;
    bool SetCustomFieldsForJob(ClientJob& job) override;
    bool GetPendingJobs(PendingJobList& jobs) override;
    bool AddJobCancelEvent(ClientJob& job, CVJobCancellationReason reason, std::string message) override;
    bool AddCustomFieldValue(CustomFieldValue& value, std::string& errorText) override;
    bool SubmitSecureJob(ClientJob& job, std::string& filePath, SecureSubmitPayloadResult& result,
                         CVSecureJobDataType type, bool flag) override;
    bool SubmitSecureJobPayload(const std::string& jobIdentifier, const std::string& baseUrl, std::string& filePath,
                                SecureSubmitPayloadResult& result, CVSecureJobDataType type, bool flag) override;
    // The same with the print data read from an open descriptor, from its
    // start (a sealed copy the hook handed over), in place of a file's name.
    bool SubmitSecureJob(ClientJob& job, int payload, SecureSubmitPayloadResult& result, CVSecureJobDataType type,
                         bool flag);

    // The text the job operations send: the slim form (full false) without
    // "User", "Printer" and "Options", the full form with them; always true.
    bool JobToServiceJsonConversion(const ClientJob& job, std::string& out, bool full) const;

    // --- Address and configuration ---
    // Both store the text as the base of every endpoint path, unchanged.
    void NormalizeUrl(const std::string& url);
    void SetServiceUrl(std::string url);
    std::string GetClientVersion() const;
    std::string GetComputerName() const;

    // Time-outs in seconds; a value below 1 gives its default. The connect
    // limit applies to every request; the request limit bounds a JSON request
    // whole and a file transfer's stalls; the ping limit bounds the ping alone.
    void SetTimeouts(int32_t connectSeconds, int32_t requestSeconds, int32_t pingSeconds = DefaultPingTimeout);
    // The PEM file of the CAs to trust in place of the system's; empty for the system's.
    void SetCaBundle(std::string path);
    std::string GetCaBundle() const;

    // A copy of the status record, taken under the lock.
    WebDataStatus GetStatus() const;

    // --- Token ---
    // A text shorter than 2 characters (or one that cannot be sent in a
    // header) clears the token; otherwise it is stored and stamped. A token
    // stored this way belongs to no known credentials.
    void UpdateToken(std::string token);
    void ResetAuthToken();
    // Clears an expired token first, then returns the token (maybe empty).
    std::string GetToken();
    bool HasToken();

    void AuthenticationRequest(WebDataServiceResponse& response, const std::string& url, const std::string& user,
                               const std::string& password, CVAuthenticationOption option);
    // Reads a token answer; a token found is stored (with no known owner).
    AuthorizeResult ProcessAuthResponse(const std::string& body);
    static bool ParseOAuthResponse(const std::string& body, const std::string& key, std::string& value);

    // --- Request primitives: one complete transfer each; the caller reads
    // the response's status (0 when nothing was sent or no answer came). ---
    void ExecuteUnauthenticatedRequest(WebDataServiceResponse& response, const std::string& url,
                                       const std::string& body, const std::string& method);
    void ExecuteAuthenticatedRequest(WebDataServiceResponse& response, const std::string& url,
                                     const std::string& body, const std::string& method);
    void ExecuteUnauthenticatedRequestForFile(WebDataServiceResponse& response, const std::string& url,
                                              const std::string& body, const std::string& method);
    void ExecuteAuthenticatedFileUpload(WebDataServiceResponse& response, const std::string& url,
                                        const std::string& filePath, const std::string& method);
    // Uploads a regular file open at the descriptor, from its start, with "PUT".
    void ExecuteAuthenticatedDescriptorUpload(WebDataServiceResponse& response, const std::string& url, int payload);

    // --- Response headers ---
    static bool GetHeaderValue(const std::string& name, const std::string& headers, long& value);
    static bool GetHeaderValue(const std::string& name, const std::string& headers, std::string& value);
    static void ConvertToMap(const std::string& text, HeaderMap& map, const std::string& terminator);

    // libcurl's write and header callback; block is a ResponseBlock.
    static size_t WriteCurlMemoryCallback(char* data, size_t size, size_t count, void* block);

private:
    enum class LimitKind { Json, File, Ping };
    // Which request primitive an endpoint operation uses.
    enum class RequestKind { Unauthenticated, Authenticated };

    // Runs one endpoint request; true on status 200, which also stamps the
    // ping time when stampPing is set. Any other status logs the operation's
    // failure line and gives false.
    bool mCall(const char* operation, RequestKind kind, const std::string& method, const std::string& url,
               const std::string& body, WebDataServiceResponse& response, bool stampPing = true);
    // Reads a 200 answer as JSON and hands it to the reader; an answer that is
    // not JSON, or that the reader cannot take (a missing required key, a
    // value of another shape), logs the operation's failure line and gives false.
    bool mReadAnswer(const char* operation, const WebDataServiceResponse& response,
                     const std::function<void(const nlohmann::json&)>& reader);
    // Logs that the operation is not offered and throws std::logic_error.
    [[noreturn]] static void mNotImplemented(const char* operation);
    // Whether the address a server answer named for a secure payload is one
    // to send it to: https (its certificate is verified as for every
    // request) with a host, and without credentials of its own, so that
    // nothing goes with the payload but what every upload sends.
    static bool mIsPayloadAddress(const std::string& url);
    // The secure job's record, submitted; its identifier and upload address.
    bool mSubmitSecureJobRecord(ClientJob& job, CVSecureJobDataType type, SecureSubmitResult& submitted);
    // Sends the print data with upload to the address the server named.
    using PayloadUpload = std::function<void(WebDataServiceResponse& response, const std::string& url)>;
    void mUploadOpenFile(WebDataServiceResponse& response, const std::string& url, std::FILE* upload,
                         const std::string& name);
    bool mSendSecurePayload(const std::string& jobIdentifier, const std::string& baseUrl, const PayloadUpload& upload,
                            SecureSubmitPayloadResult& result);

    // Under the lock: the limits of one kind of request, and the CA bundle.
    TransferLimits mLimits(LimitKind kind) const;
    // The service address followed by a path.
    std::string mUrlFor(const std::string& path) const;
    // Runs a function on the status record under the lock.
    template <typename Function>
    decltype(auto) mWithStatus(Function&& function)
    {
        std::lock_guard lock(mLock);
        return function(mStatus);
    }
    // Logs "Error: %ld, <operation>: %s" with the status and the body (its
    // tokens blanked out).
    void mLogOperationError(const char* operation, const WebDataServiceResponse& response) const;
    // A text for the log with every token blanked out (LogSafeText).
    std::string mLogSafe(const std::string& text) const;

    std::string mHeldToken() const;
    void mExecuteUnauthenticated(WebDataServiceResponse& response, const std::string& url, const std::string& body,
                                 const std::string& method, const TransferLimits& limits);
    bool mPingAnswerIsFresh(bool& lastStatus);

    // Token bookkeeping; the NoLock forms expect mLock held.
    void mStoreTokenNoLock(const std::string& token, const std::string& owner);
    void mExpireTokenNoLock();
    void mClearToken();
    AuthorizeResult mProcessAuthResponse(const std::string& body, const std::string& owner, std::string& granted);
    static std::string mCredentialDigest(CVAuthenticationOption option, const std::string& user,
                                         const std::string& password);

    mutable std::mutex mLock;
    std::mutex mPingLock;  // one ping at a time; the others then reuse its answer

    int32_t mintRequestTimeout = DefaultRequestTimeout;
    int32_t mintConnectTimeout = DefaultConnectTimeout;
    int32_t mintPingTimeout = DefaultPingTimeout;
    std::string mstrServiceUrl;
    std::string mstrClientVersion;
    std::string mstrToken;
    std::string mstrTokenOwner;  // digest of the credentials the token was granted for; empty when unknown
    std::string mstrComputerName;
    std::string mstrCaBundle;
    WebDataStatus mStatus;
    // Never null; used without mLock (it has locks of its own).
    const std::unique_ptr<CurlConnectionShare> mConnections;
};

}  // namespace CVClientData
