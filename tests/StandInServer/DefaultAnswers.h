#pragma once

#include "tests/StandInServer/StandInRequest.h"

#include <string>
#include <vector>

namespace StandIn {

// The answer an endpoint gives until a test scripts another.
struct EndpointDefault {
    std::string method;
    std::string path;  // may end in "/*"
    Responder responder;
};

// The stand-in's endpoints and their default answers: a healthy server that
// grants a token to anyone. Add an endpoint by adding a row.
const std::vector<EndpointDefault>& DefaultAnswers();

// The body of the default client settings answer.
std::string DefaultClientSettingsJson();

}  // namespace StandIn
