#pragma once

#include <nlohmann/json.hpp>

#include <string>

// Texts for the log with the secrets the server and the client exchange
// (tokens) blanked out.

namespace CVClientData {

// A compact dump fit for the log: the text value of every "ServiceAuthToken",
// "PayloadToken" and "access_token" key, at any depth, is replaced by
// "<redacted>", and so is every occurrence of the bearer token (when given).
std::string LogSafeDump(const nlohmann::json& value, const std::string& bearerToken = std::string());

// The same for a text that may hold JSON (an answer body, valid or not).
std::string LogSafeText(std::string text, const std::string& bearerToken = std::string());

}  // namespace CVClientData
