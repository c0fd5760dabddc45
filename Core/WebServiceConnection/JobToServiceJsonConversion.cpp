#include "Core/WebServiceConnection/JobToServiceJsonConversion.h"

#include "Core/CVModels/ClientJob.h"
#include "Core/WebServiceConnection/ServiceText.h"

namespace CVClientData {

// The job's object with the keys the server reads its ids from.
nlohmann::json JobToServiceJson(const ClientJob& job, bool full, const std::string& clientVersion)
{
    nlohmann::json json = nlohmann::json::object();
    job.ToJson(json);
    json["UserId"] = job.GetUser().Id;
    json["DeviceId"] = job.GetPrinter().Id;
    json["DeviceDisplayName"] = job.GetPrinter().Name;
    json["SecureQueueId"] = job.GetPrinter().SecureQueueId;
    json["ClientVersion"] = clientVersion;
    if (!full) {
        json.erase("User");
        json.erase("Printer");
        json.erase("Options");
    }
    return json;
}

// The service form as compact text.
bool JobToServiceJsonConversion(const ClientJob& job, std::string& out, bool full, const std::string& clientVersion)
{
    out = CompactDump(JobToServiceJson(job, full, clientVersion));
    return true;
}

}  // namespace CVClientData
