#include "tests/StandInServer/DefaultAnswers.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <map>
#include <mutex>
#include <string_view>

namespace StandIn {

namespace {

using nlohmann::json;

// The tokens the default grant issued, with their users.
struct TokenBook {
    std::mutex lock;
    std::map<std::string, std::string> users;
};

// The one book of the process: tokens outlive the server that issued them.
TokenBook& Tokens()
{
    static TokenBook book;
    return book;
}

}  // namespace

// A fresh token for every grant, naming the user it was granted to.
Answer GrantToken(const RecordedRequest& request)
{
    static std::atomic<unsigned long> grants{0};
    std::string token = "standin-" + std::to_string(++grants);
    std::string user = request.FormValue("username");
    {
        std::lock_guard lock(Tokens().lock);
        Tokens().users[token] = user;
    }
    json answer = {{"access_token", token}, {"token_type", "bearer"}, {"expires_in", 420}, {"userName", user}};
    return Answer::Json(200, answer.dump());
}

// The token of a "bearer <token>" header, empty without one.
std::string BearerToken(const RecordedRequest& request)
{
    std::string header = request.Header("Authorization");
    constexpr std::string_view scheme = "bearer ";
    if (header.size() <= scheme.size()
        || !SameTextIgnoringCase(std::string_view(header).substr(0, scheme.size()), scheme))
        return std::string();
    return header.substr(scheme.size());
}

// The responder behind a check of the bearer token: 401 without one the
// stand-in issued.
Responder WithToken(Responder responder)
{
    return [responder = std::move(responder)](const RecordedRequest& request) {
        if (UserOfToken(BearerToken(request)).empty())
            return Answer::Json(401, R"({"Message":"Authorization has been denied for this request."})");
        return responder(request);
    };
}

namespace {

// The responder behind a check that the body is a JSON object: 400 for
// anything else, as the server answers a request it cannot read.
Responder WithObjectBody(Answer (*answer)(json body))
{
    return [answer](const RecordedRequest& request) {
        json body = json::parse(request.body, nullptr, false);
        if (!body.is_object())
            return Answer::Json(400, R"({"Message":"The request is invalid."})");
        return answer(std::move(body));
    };
}

// A number of the query, or the fallback.
long QueryNumber(const RecordedRequest& request, const std::string& name, long fallback)
{
    std::string text = request.QueryValue(name);
    long value = fallback;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

// A cost modifier that changes nothing.
json NeutralModifier()
{
    return {{"ModifierType", 0}, {"BWModifier", 0.0}, {"ColorModifier", 0.0}};
}

// One value of a custom field.
json FieldValue(unsigned long field, unsigned long id, unsigned long parent, const std::string& code,
                const std::string& description)
{
    return {{"FieldId", field},         {"ValueId", id},      {"ParentValueId", parent},
            {"Code", code},             {"Description", description},
            {"UseBudget", false},       {"BudgetRemaining", 0.0},
            {"Modifier", NeutralModifier()}};
}

// Every value the stand-in knows, of every field.
const json& AllFieldValues()
{
    static const json values = [] {
        json list = json::array();
        for (unsigned long i = 0; i < 5; ++i)
            list.push_back(FieldValue(1, 101 + i, 0, "A10" + std::to_string(i), "Account " + std::to_string(i)));
        list.push_back(FieldValue(2, 201, 101, "P200", "Project zero"));
        list.push_back(FieldValue(2, 202, 101, "P201", "Project one"));
        return list;
    }();
    return values;
}

// One page of the values of a field under a parent value whose code or
// description contains the text; a page size of 0 gives every match at once.
Answer SearchValues(json search)
{
    unsigned long field = search.value("FieldId", 0ul);
    unsigned long parent = search.value("ParentValueId", 0ul);
    std::string text = search.value("SearchFor", std::string());
    unsigned long pageNumber = std::max(1ul, search.value("PageNumber", 1ul));
    unsigned long pageSize = search.value("PageSize", 50ul);

    json matching = json::array();
    for (const json& value : AllFieldValues()) {
        bool match = value["FieldId"] == field && value["ParentValueId"] == parent
                     && (value["Code"].get<std::string>().find(text) != std::string::npos
                         || value["Description"].get<std::string>().find(text) != std::string::npos);
        if (match)
            matching.push_back(value);
    }
    unsigned long pageCount = 1;
    json page = matching;
    if (pageSize > 0) {
        pageCount = std::max(1ul, (static_cast<unsigned long>(matching.size()) + pageSize - 1) / pageSize);
        page = json::array();
        for (size_t i = (pageNumber - 1) * pageSize; i < matching.size() && page.size() < pageSize; ++i)
            page.push_back(matching[i]);
    }
    search["MatchingValues"] = page;
    search["PageCount"] = pageCount;
    return Answer::Json(200, search.dump());
}

// The logo when the client's date is not the current one, else "unchanged".
Answer Logo(const RecordedRequest& request)
{
    Answer answer;
    answer.contentType = "application/octet-stream";
    if (request.QueryValue("logodate") == DefaultLogoDate() + ".000Z") {
        answer.headers = {{"X-CV-LogoResult", "1"}};
    } else {
        answer.headers = {{"X-CV-LogoResult", "2"}, {"X-CV-LogoChangeDate", DefaultLogoDate()}};
        answer.body = DefaultLogoBytes();
    }
    return answer;
}

// The printer as sent, with the server's id for it.
Answer Printer(json printer)
{
    if (printer.value("Id", 0ul) == 0)
        printer["Id"] = 17;
    return Answer::Json(200, printer.dump());
}

// The user the token was issued to, with a balance, as the server keeps it.
Answer User(const RecordedRequest& request)
{
    std::string token = BearerToken(request);
    std::string name = UserOfToken(token);
    json user = {
        {"Id", 1000 + std::hash<std::string>()(name) % 1000},
        {"DisplayName", "User " + name},
        {"NetworkName", name},
        {"Domain", ""},
        {"UniqueKey", name},
        {"SAMAccountName", name},
        {"Allowance",
         {{"Type", 1}, {"BWBalanceRemaining", 25.0}, {"ColorBalanceRemaining", 10.0}, {"BWBalanceOverdraft", 0.0},
          {"ColorBalanceOverdraft", 0.0}}},
        {"MaxPendingJobs", 10},
        {"ShowComments", false},
        {"UseLastEntries", false},
        {"BatchMode", 0},
        {"BatchTimeout", 0},
        {"MaxBatchSize", 0},
        {"AllowSnooze", true},
        {"AllowCostOverride", false},
        {"ShowCosts", true},
        {"UserCanAddCodes", true},
        {"IsNovell", false},
        {"ServiceAuthToken", token},
    };
    return Answer::Json(200, user.dump());
}

// A rules answer that lets the job go on as it is, up to the last stage asked for.
Answer ProcessRules(const RecordedRequest& request)
{
    json result = {
        {"ProcessedToStage", QueryNumber(request, "stopAfterStage", 0)},
        {"TrackOptionSet", false},
        {"TrackOption", 0},
        {"CancelReason", 0},
        {"CustomCancelEventMessage", ""},
        {"SecureOptionSet", false},
        {"SecureOption", 0},
        {"PricingChanged", false},
        {"PriceOption", 0},
        {"BWUnitCost", 0.0},
        {"ColorUnitCost", 0.0},
        {"JobType", 1},
        {"CountPagesAsPhysical", false},
        {"SpecialFlags", 0},
        {"IgnoreBalancesSet", false},
        {"IgnoreBalances", false},
        {"ForceLateRuleAudit", false},
        {"ProcessModifier", NeutralModifier()},
        {"UserModifier", NeutralModifier()},
        {"PaperSizes", json::array()},
        {"Messages", json::array()},
        {"CustomFieldsAreSet", false},
        {"CustomFields", json::array()},
    };
    return Answer::Json(200, result.dump());
}

// A new id for a pending job.
Answer PendingJobId(const RecordedRequest&)
{
    static std::atomic<unsigned long> ids{5000};
    return Answer::Json(200, std::to_string(++ids));
}

// A value a user added, stored under a new id.
Answer AddValue(json value)
{
    static std::atomic<unsigned long> ids{900};
    value["ValueId"] = ++ids;
    return Answer::Json(200, value.dump());
}

// Where the secured job's print data goes: this server, under a new identifier.
Answer SecureSubmission(const RecordedRequest& request)
{
    static std::atomic<unsigned long> jobs{0};
    unsigned long job = ++jobs;
    json result = {{"JobIdentifier", "secure-" + std::to_string(job)},
                   {"PayloadToken", "payload-token-" + std::to_string(job)},
                   {"PayloadUrl", "https://" + request.Header("Host") + "/"},
                   {"SecureJobId", job}};
    return Answer::Json(200, result.dump());
}

// The upload was taken and the job released to the secure queue.
Answer SecurePayload(const RecordedRequest& request)
{
    json result = {{"AutoReleased", false}, {"Routed", true}, {"ReleasedTo", "Secure queue"},
                   {"ReceivedBytes", request.body.size()}};
    return Answer::Json(200, result.dump());
}

}  // namespace

// Client settings as a healthy server sends them.
std::string DefaultClientSettingsJson()
{
    json settings = {
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

// Two fields, the second depending on the first.
std::string DefaultCustomFieldsJson()
{
    json fields = json::array({
        {{"Id", 1}, {"ParentId", 0}, {"ChildId", 2}, {"Name", "Account"}, {"Type", 2}},
        {{"Id", 2}, {"ParentId", 1}, {"ChildId", 0}, {"Name", "Project"}, {"Type", 0}},
    });
    return fields.dump();
}

// A few bytes of an image, zero bytes and high bytes included.
std::string DefaultLogoBytes()
{
    return std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18);
}

// The change date of the default logo.
std::string DefaultLogoDate()
{
    return "2024-03-01T10:00:00";
}

// Looks the token up in the grants made so far.
std::string UserOfToken(const std::string& token)
{
    std::lock_guard lock(Tokens().lock);
    auto found = Tokens().users.find(token);
    return found == Tokens().users.end() ? std::string() : found->second;
}

// The default answer of every endpoint the stand-in serves.
const std::vector<EndpointDefault>& DefaultAnswers()
{
    auto fixed = [](int status, std::string body) -> Responder {
        return [status, body = std::move(body)](const RecordedRequest&) { return Answer::Json(status, body); };
    };
    static const std::vector<EndpointDefault> endpoints = {
        {"GET", "printapi/info/ping", fixed(200, "true")},
        {"POST", "token", GrantToken},
        {"PUT", "printapi/rules/getauthoption", fixed(200, "0")},
        {"GET", "printapi/settings/*", fixed(200, DefaultClientSettingsJson())},
        {"GET", "printapi/customfields", fixed(200, DefaultCustomFieldsJson())},
        {"PUT", "printapi/customfields/values/search", WithObjectBody(SearchValues)},
        {"POST", "printapi/printers", WithObjectBody(Printer)},
        {"GET", "printapi/settings/logo", Logo},
        {"GET", "printapi/appList", fixed(200, R"([{"ProcessName":"Preview","Ignore":false,"BehaviorFlags":0}])")},
        {"GET", "printapi/users", WithToken(User)},
        {"POST", "printapi/users/setpinpassword", WithToken(fixed(200, "true"))},
        {"POST", "printapi/jobs", WithToken(fixed(200, "{}"))},
        {"POST", "printapi/pendingjobs", WithToken(PendingJobId)},
        {"POST", "printapi/disconnectedjobs", WithToken(fixed(200, "{}"))},
        {"PUT", "printapi/rules/process", WithToken(ProcessRules)},
        {"GET", "printapi/pendingjobs", WithToken(fixed(200, "[]"))},
        {"POST", "printapi/jobs/cancelevent/*", WithToken(fixed(200, "{}"))},
        {"POST", "printapi/customfields/values", WithToken(WithObjectBody(AddValue))},
        {"POST", "printapi/securejobs/*", WithToken(SecureSubmission)},
        {"PUT", "printapi/securejobs/payload/*", WithToken(SecurePayload)},
    };
    return endpoints;
}

Responder DefaultResponder(const std::string& method, const std::string& path)
{
    auto bare = [](std::string_view text) { return text.substr(text.starts_with('/') ? 1 : 0); };
    for (const EndpointDefault& endpoint : DefaultAnswers())
        if (endpoint.method == method && bare(endpoint.path) == bare(path))
            return endpoint.responder;
    return {};
}

}  // namespace StandIn
