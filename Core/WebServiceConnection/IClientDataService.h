#pragma once

#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/LocalFiles/IClientLogoSource.h"
#include "Core/WebServiceConnection/AuthorizeResult.h"
#include "Core/WebServiceConnection/CVAuthenticationOption.h"

#include <cstdint>
#include <string>
#include <vector>

class ClientJob;

namespace CVClientData {

class Application;
class ClientSettings;
class CustomField;
class CustomFieldValue;
class CustomFieldValueSearch;
class PendingJobList;
class Printer;
class ProcessJobResult;
class SecureSubmitResult;
class SecureSubmitPayloadResult;
class User;

// The client's connection to the print-accounting server. Operations are
// declared in a fixed order: reachability, the service address and the token
// first, then the server's endpoints. Every endpoint operation answers false
// on failure, after one error line "Error: <status>, <operation>: <body>".
class IClientDataService {
public:
    virtual ~IClientDataService() = default;

    // Whether the server answers its ping (reused for 15 s).
    virtual bool CanReach() = 0;
    virtual std::string GetServiceUrl() = 0;

    // Obtains a bearer token for the given credentials (password grant).
    virtual AuthorizeResult Authorize(CVAuthenticationOption option, const std::string& user,
                                      const std::string& password, std::string& token) = 0;
    // Adopts a token obtained earlier; the code stays a failure.
    virtual AuthorizeResult Authorize(std::string& token) = 0;

    // --- The endpoint operations ---

    // Asks which way the job's user is to be identified.
    virtual bool GetAuthenticationOption(ClientJob& job, CVAuthenticationOption& option) = 0;
    // Fills the settings for the computer (answers reused for 25 s).
    virtual bool GetClientSettings(const std::string& computerName, ClientSettings& settings) = 0;
    // Replaces the list with every custom field of the server.
    virtual bool GetCustomFields(std::vector<CustomField>& fields) = 0;
    // Sends the search and replaces it with the answer.
    virtual bool SearchCustomFieldValues(CustomFieldValueSearch& search) = 0;
    // Replaces the list with all values of a field under a parent value.
    virtual bool GetCustomFieldValues(std::vector<CustomFieldValue>& values, uint64_t fieldId,
                                      uint64_t parentValueId) = 0;
    // Not offered: logs and throws std::logic_error.
    virtual bool GetCustomFieldValueByCode(uint64_t fieldId, uint64_t parentValueId, const std::string& code,
                                           CustomFieldValue& value) = 0;
    // Looks the printer up and replaces it with the server's record; status
    // receives the HTTP status (0 when no answer came).
    virtual bool GetPrinter(Printer& printer, long& status) = 0;
    // Checks the logo against the change date held (checks reused for 12 h).
    virtual bool GetClientLogo(ClientLogoResult& result, std::string& data, std::string& date) = 0;
    // Replaces the list with the server's special applications.
    virtual bool GetSpecialAppList(std::vector<Application>& applications) = 0;
    // Replaces the user with the server's record of the token's user.
    virtual bool GetUser(User& user) = 0;
    // Sets a new PIN password for the token's user; false at once without a token.
    virtual bool ResetPINPassword(const std::string& newPassword) = 0;
    virtual bool SaveJob(ClientJob& job) = 0;
    // Stores the job as pending; the job receives the server's id.
    virtual bool SavePendingJob(ClientJob& job) = 0;
    virtual bool SaveDisconnectedJob(ClientJob& job) = 0;
    // Runs the rules from one stage to another, applies their decisions to the
    // job and hands their result to the caller.
    virtual bool ProcessJob(ClientJob& job, CVJobProcessingStage start, CVJobProcessingStage stopAfter,
                            ProcessJobResult& result) = 0;
    // Not offered: logs and throws std::logic_error.
    virtual bool SetCustomFieldsForJob(ClientJob& job) = 0;
    // Appends the user's pending jobs to the list (it is not emptied first).
    virtual bool GetPendingJobs(PendingJobList& jobs) = 0;
    // Records why the job was cancelled; false at once without a token.
    virtual bool AddJobCancelEvent(ClientJob& job, CVJobCancellationReason reason, std::string message) = 0;
    // Adds a value a user typed and replaces it with the stored one; the text
    // argument is not used. False at once without a token.
    virtual bool AddCustomFieldValue(CustomFieldValue& value, std::string& errorText) = 0;
    // Submits a secured job, then uploads its print data from the file; false
    // at once without a token.
    virtual bool SubmitSecureJob(ClientJob& job, std::string& filePath, SecureSubmitPayloadResult& result,
                                 CVSecureJobDataType type, bool flag) = 0;
    // Uploads a secured job's print data to "<baseUrl>printapi/securejobs/payload/<id>";
    // refused unless that address is the server's own https address.
    virtual bool SubmitSecureJobPayload(const std::string& jobIdentifier, const std::string& baseUrl,
                                        std::string& filePath, SecureSubmitPayloadResult& result,
                                        CVSecureJobDataType type, bool flag) = 0;
};

}  // namespace CVClientData
