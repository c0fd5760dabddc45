#include "tests/StandInServer/DefaultAnswers.h"

#include <nlohmann/json.hpp>

#include <atomic>

namespace StandIn {

namespace {

// A fresh token for every grant, naming the user it was granted to.
Answer GrantToken(const RecordedRequest& request)
{
    static std::atomic<unsigned long> grants{0};
    nlohmann::json answer = {
        {"access_token", "standin-" + std::to_string(++grants)},
        {"token_type", "bearer"},
        {"expires_in", 420},
        {"userName", request.FormValue("username")},
    };
    return Answer::Json(200, answer.dump());
}

// A fixed JSON answer.
Answer Fixed(int status, std::string body)
{
    return Answer::Json(status, std::move(body));
}

}  // namespace

// Client settings as a healthy server sends them.
std::string DefaultClientSettingsJson()
{
    nlohmann::json settings = {
        {"AuthenticationType", 0},
        {"PINLabel", "PIN"},
        {"PINPasswordLabel", "Password"},
        {"AlwaysPopEarly", true},
        {"NumberDecimalPlaces", 2},
        {"PercentageModifierOption", 1},
        {"NetworkType", 0},
        {"AlwaysPopSecure", false},
        {"DisplayClientTrayIcon", false},
        {"SupportThirdPartyJobs", false},
        {"DisconnectedJobOption", 3},
        {"DisconnectedJobsOldIn", 7},
        {"DisconnectedJobsMesg", "Jobs printed while the server was away are kept."},
        {"PreAuthenticationRequired", false},
    };
    return settings.dump();
}

// The default answer of every endpoint the stand-in serves.
const std::vector<EndpointDefault>& DefaultAnswers()
{
    static const std::vector<EndpointDefault> endpoints = {
        {"GET", "printapi/info/ping", [](const RecordedRequest&) { return Fixed(200, "true"); }},
        {"POST", "token", GrantToken},
        {"GET", "printapi/settings/*", [](const RecordedRequest&) { return Fixed(200, DefaultClientSettingsJson()); }},
    };
    return endpoints;
}

}  // namespace StandIn
