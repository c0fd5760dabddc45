#pragma once

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/CustomField.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/WebService/WebServiceFixture.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace OperationTests {

using namespace CVClientData;
using StandIn::Answer;
using StandIn::RecordedRequest;

// A job of user 42 on printer 7 ("Lobby", secure queue 3), with a user
// token and a custom field in its options.
inline ClientJob SampleJob()
{
    ClientJob job;
    job.Id = 314;
    job.DocumentName = "Quarterly report.pdf";
    job.GetUser().Id = 42;
    job.GetUser().NetworkName = "alice";
    job.GetUser().ServiceAuthToken = "user-secret-token";
    job.GetPrinter().Id = 7;
    job.GetPrinter().Name = "Lobby";
    job.GetPrinter().SecureQueueId = 3;
    CustomField field;
    field.Id = 1;
    field.Name = "Account";
    job.Options.CustomField.push_back(field);
    return job;
}

// The web service against a fresh stand-in, with helpers to build the
// records the operations send and to read what the stand-in received.
class OperationsTest : public WebServiceTests::WebServiceTest {
protected:
    // The only request to an endpoint; fails the test when there is not exactly one.
    RecordedRequest OnlyRequest(const std::string& method, const std::string& path) const
    {
        std::vector<RecordedRequest> received = mServer.RequestsTo(method, path);
        EXPECT_EQ(received.size(), 1u) << method << " " << path;
        return received.empty() ? RecordedRequest() : received.front();
    }

    // The log lines written since the test began that contain the text.
    size_t LinesWith(const std::string& text) const
    {
        size_t count = 0;
        std::string log = LogText();
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size()))
            ++count;
        return count;
    }
};

// A request body parsed with its keys in the order they were sent.
inline nlohmann::ordered_json SentObject(const RecordedRequest& request)
{
    return nlohmann::ordered_json::parse(request.body, nullptr, false);
}

// Whether every object in the value lists its keys in byte order.
inline bool KeysInByteOrder(const nlohmann::ordered_json& value)
{
    if (value.is_object()) {
        std::string previous;
        bool first = true;
        for (const auto& [key, member] : value.items()) {
            if (!first && key <= previous)
                return false;
            first = false;
            previous = key;
            if (!KeysInByteOrder(member))
                return false;
        }
    } else if (value.is_array()) {
        for (const auto& element : value)
            if (!KeysInByteOrder(element))
                return false;
    }
    return true;
}

// A job as the server lists it: the keys the job reader requires, and an id.
inline nlohmann::json ServerJob(uint64_t id, const std::string& document)
{
    return {{"Id", id},
            {"DocumentName", document},
            {"ProcessModifier", nlohmann::json::object()},
            {"UserModifier", nlohmann::json::object()},
            {"Costing", {{"PageSets", nlohmann::json::array()}}}};
}

}  // namespace OperationTests
