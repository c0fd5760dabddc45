#pragma once

#include "Core/CVModels/Application.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValueSearch.h"
#include "Core/CVModels/JobMessage.h"
#include "Core/CVModels/Printer.h"
#include "Core/CVModels/SecureSubmitPayloadResult.h"
#include "Core/CVModels/SecureSubmitResult.h"
#include "Core/CVModels/User.h"
#include "Core/CVModels/WebDataServiceProcessJobResult.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>

// The records the client reads from the server's answers and from its own
// files, by the number a fuzz input's first byte picks.
inline std::unique_ptr<CVClientData::SerializableModel> MakeRecord(uint8_t pick)
{
    using namespace CVClientData;
    static const std::function<std::unique_ptr<SerializableModel>()> makers[] = {
        [] { return std::make_unique<ClientJob>(); },
        [] { return std::make_unique<User>(); },
        [] { return std::make_unique<ClientSettings>(); },
        [] { return std::make_unique<Printer>(); },
        [] { return std::make_unique<WebDataServiceProcessJobResult>(); },
        [] { return std::make_unique<CustomField>(); },
        [] { return std::make_unique<CustomFieldValueSearch>(); },
        [] { return std::make_unique<JobMessage>(); },
        [] { return std::make_unique<Application>(); },
        [] { return std::make_unique<SecureSubmitResult>(); },
        [] { return std::make_unique<SecureSubmitPayloadResult>(); },
    };
    return makers[pick % std::size(makers)]();
}

// A record that was read dumps to an object that reads back into a new record
// of its kind without failing, and that one dumps the same.
inline void CheckDumpReadsBack(const CVClientData::SerializableModel& record, uint8_t pick)
{
    nlohmann::json dump = nlohmann::json::object();
    record.ToJson(dump);
    std::unique_ptr<CVClientData::SerializableModel> copy = MakeRecord(pick);
    copy->FromJson(dump);
    nlohmann::json again = nlohmann::json::object();
    copy->ToJson(again);
    if (dump != again)
        std::abort();
}
