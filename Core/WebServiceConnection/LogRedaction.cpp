#include "Core/WebServiceConnection/LogRedaction.h"

#include "Core/WebServiceConnection/ServiceText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace CVClientData {

namespace {

constexpr std::string_view Redacted = "<redacted>";

// The keys whose values are secrets wherever they appear.
constexpr std::array<std::string_view, 3> SecretKeys = {"\"ServiceAuthToken\"", "\"PayloadToken\"",
                                                        "\"access_token\""};

// Blanks out the string value that follows each quoted secret key (and its
// colon). Works on the text itself, so it needs no parse and takes answers
// that are not JSON at all.
void RedactSecretValues(std::string& text, std::string_view key)
{
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
        size_t next = at + key.size();
        while (next < text.size() && (text[next] == ' ' || text[next] == '\t' || text[next] == '\r' ||
                                      text[next] == '\n'))
            ++next;
        if (next >= text.size() || text[next] != ':') {
            at = next;
            continue;
        }
        next = text.find_first_not_of(" \t\r\n", next + 1);
        if (next == std::string::npos || text[next] != '"') {
            at = next == std::string::npos ? text.size() : next;
            continue;
        }
        size_t end = next + 1;
        while (end < text.size() && text[end] != '"')
            end += text[end] == '\\' ? 2 : 1;
        end = std::min(end, text.size());
        text.replace(next + 1, end - next - 1, Redacted);
        at = next + 1 + Redacted.size();
    }
}

// Replaces every occurrence of the secret in the text.
void RedactOccurrences(std::string& text, std::string_view secret)
{
    if (secret.empty())
        return;
    for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + Redacted.size()))
        text.replace(at, secret.size(), Redacted);
}

}  // namespace

// A dump with every token blanked out, for log lines.
std::string LogSafeDump(const nlohmann::json& value, const std::string& bearerToken)
{
    return LogSafeText(CompactDump(value), bearerToken);
}

// A text with every token blanked out, for log lines. The bearer token is
// looked for as it is and as a JSON string writes it.
std::string LogSafeText(std::string text, const std::string& bearerToken)
{
    for (std::string_view key : SecretKeys)
        RedactSecretValues(text, key);
    if (bearerToken.size() >= 2) {
        RedactOccurrences(text, bearerToken);
        std::string quoted = CompactDump(nlohmann::json(bearerToken));
        RedactOccurrences(text, std::string_view(quoted).substr(1, quoted.size() - 2));
    }
    return text;
}

}  // namespace CVClientData
