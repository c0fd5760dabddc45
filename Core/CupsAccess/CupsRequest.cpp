#include "Core/CupsAccess/CupsRequest.h"

#include "Core/CupsAccess/CupsResponse.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <cups/cups.h>
#include <cups/language.h>

#include <vector>

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;
// Time to wait for the local server to accept a connection.
constexpr int kConnectTimeoutMilliseconds = 30000;

}  // namespace

CupsRequest::CupsRequest() : mRequest(ippNew())
{
    std::string charset = "utf-8";
    std::string language = "en_US";
    if (cups_lang_t* defaultLanguage = cupsLangDefault()) {
        if (const char* encoding = cupsLangEncoding(defaultLanguage))
            charset = encoding;
        language = defaultLanguage->language;
        cupsLangFree(defaultLanguage);
    }
    ippAddString(mRequest, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, charset.c_str());
    ippAddString(mRequest, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language", nullptr,
                 language.c_str());
}

CupsRequest::~CupsRequest()
{
    ippDelete(mRequest);
}

void CupsRequest::SetResource(const std::string& resource)
{
    mstrResource = resource.substr(0, MaxResourceLength);
}

void CupsRequest::SetOperation(ipp_op_t operation)
{
    ippSetOperation(mRequest, operation);
    ippSetRequestId(mRequest, 1);
}

void CupsRequest::AddNameAttribute(const char* name, const std::string& value)
{
    ippAddString(mRequest, IPP_TAG_OPERATION, IPP_TAG_NAME, name, nullptr, value.c_str());
}

void CupsRequest::AddRequestedAttributes(const std::vector<std::string>& names)
{
    std::vector<const char*> values;
    values.reserve(names.size());
    for (const std::string& name : names)
        values.push_back(name.c_str());
    ippAddStrings(mRequest, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", static_cast<int>(values.size()),
                  nullptr, values.data());
}

void CupsRequest::AddUriAttribute(const char* name, const std::string& value)
{
    ippAddString(mRequest, IPP_TAG_OPERATION, IPP_TAG_URI, name, nullptr, value.c_str());
}

void CupsRequest::AddIntegerAttribute(const char* name, int value)
{
    ippAddInteger(mRequest, IPP_TAG_OPERATION, IPP_TAG_INTEGER, name, value);
}

std::unique_ptr<CupsResponse> CupsRequest::SendRequest(http_t* connection)
{
    if (mRequest == nullptr)
        return nullptr;
    Connection own;
    if (connection == nullptr) {
        own = Connect();
        connection = own.get();
    }
    if (connection == nullptr)
        return nullptr;
    // cupsDoRequest frees the request whatever happens.
    ipp_t* request = mRequest;
    mRequest = nullptr;
    ipp_t* response = cupsDoRequest(connection, request, mstrResource.empty() ? "/" : mstrResource.c_str());
    if (response == nullptr)
        return nullptr;
    return std::make_unique<CupsResponse>(response);
}

int CupsRequest::CancelJob(const std::string& printerName, int jobId)
{
    DebugScope scope(kComponent, "CancelJob");
    Connection connection = Connect();
    int result = connection && cupsCancelJob2(connection.get(), printerName.c_str(), jobId, 0) <
                                   IPP_STATUS_REDIRECTION_OTHER_SITE
                     ? 1
                     : 0;
    if (result == 0)
        Log::Error("Unable to cancel job %d on %s: %s", jobId, printerName, cupsLastErrorString());
    return result;
}

void CupsRequest::HttpCloser::operator()(http_t* connection) const
{
    httpClose(connection);
}

CupsRequest::Connection CupsRequest::Connect()
{
    Connection connection(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1,
                                       kConnectTimeoutMilliseconds, nullptr));
    if (!connection)
        Log::Debug("Unable to connect to the CUPS server %s: %s", cupsServer(), cupsLastErrorString());
    return connection;
}

}  // namespace CVClientData
