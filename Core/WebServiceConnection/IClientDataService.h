#pragma once

#include "Core/WebServiceConnection/AuthorizeResult.h"
#include "Core/WebServiceConnection/CVAuthenticationOption.h"

#include <string>

namespace CVClientData {

class ClientSettings;

// The client's connection to the print-accounting server. Operations are
// declared in a fixed order: reachability, the service address and the token
// first, then the server's endpoints.
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

    // The endpoint operations.
    virtual bool GetClientSettings(const std::string& computerName, ClientSettings& settings) = 0;
};

}  // namespace CVClientData
