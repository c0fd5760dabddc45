#pragma once

#include <nlohmann/json.hpp>

#include <string>

class ClientJob;

namespace CVClientData {

// The job as the server's job endpoints take it: the job's own object with
// "UserId", "DeviceId", "DeviceDisplayName", "SecureQueueId" and
// "ClientVersion" added. The slim form (full false) leaves out "User",
// "Printer" and "Options"; the full form keeps them.
nlohmann::json JobToServiceJson(const ClientJob& job, bool full, const std::string& clientVersion);

// The same object dumped compactly (keys in byte order) into out; always true.
bool JobToServiceJsonConversion(const ClientJob& job, std::string& out, bool full, const std::string& clientVersion);

}  // namespace CVClientData
