#pragma once

#include <cstdint>
#include <string>

namespace CVClientData {

// The outcome of a token request.
enum class AuthorizeResultCode : int32_t {
    Failure = -1,       // unreachable, HTTP error, unknown error name, option not supported
    Success = 0,
    InvalidGrant = 1,   // wrong credentials, or no password given
    InvalidCard = 2,
    UserInactive = 4,
};

// A token request's code and the server's explanation ("error_description").
class AuthorizeResult {
public:
    virtual ~AuthorizeResult() = default;

    AuthorizeResultCode mintResultCode = AuthorizeResultCode::Failure;
    std::string mstrMessage;
};

}  // namespace CVClientData
