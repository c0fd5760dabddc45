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
// grants a token to anyone, knows every user it granted a token to, and
// accepts every job. Endpoints that need a token answer 401 to a request
// without a bearer token the stand-in granted. Add an endpoint by adding a row.
const std::vector<EndpointDefault>& DefaultAnswers();

// The default answer of one endpoint (the path with or without its leading
// "/"), for a test that changes what it answers; empty when it has none.
Responder DefaultResponder(const std::string& method, const std::string& path);

// The body of the default client settings answer.
std::string DefaultClientSettingsJson();

// The custom fields the default answers know: field 1 "Account" with the
// values A100 to A104 (ids 101 to 105), field 2 "Project" under it, with
// P200 and P201 (ids 201, 202) under value 101.
std::string DefaultCustomFieldsJson();

// The logo the default answer sends to a client whose date is not the
// current one, and that date (as "X-CV-LogoChangeDate" carries it).
std::string DefaultLogoBytes();
std::string DefaultLogoDate();

// The default answer of "POST token": a new token for the form's user name,
// whatever the password. Scripted grants call it for credentials they accept.
Answer GrantToken(const RecordedRequest& request);

// The user name a token of the default grant was issued to; empty when the
// stand-in did not issue it.
std::string UserOfToken(const std::string& token);

// The token of the request's "bearer <token>" header, empty without one.
std::string BearerToken(const RecordedRequest& request);

// The responder behind a check of the bearer token: 401 without one the
// stand-in issued, as every endpoint that needs a token answers.
Responder WithToken(Responder responder);

}  // namespace StandIn
