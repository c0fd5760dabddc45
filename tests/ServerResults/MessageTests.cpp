#include "Core/CVModels/Application.h"
#include "Core/CVModels/JobMessage.h"
#include "Core/CVModels/SecureSubmitPayloadResult.h"
#include "Core/CVModels/SecureSubmitResult.h"
#include "Core/CVModels/UIMessage.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TestSupport::operator<<;
using namespace CVClientData;
using nlohmann::json;

struct MessageCase {
    const char* Name;
    const char* Json;
    int32_t Type;
    int32_t Source;
    const char* Title;
};

const MessageCase MessageCases[] = {
    {"Question", R"({"Title":"Colour","Message":"Print in colour?","Type":1,"Source":7})", 1, 7, "Colour"},
    {"WithoutTypeIsACancel", R"({"Title":"Stop"})", 0, 0, "Stop"},
    {"NullTypeIsACancel", R"({"Type":null})", 0, 0, ""},
    {"TypeAsTextIsACancel", R"({"Type":"2"})", 0, 0, ""},
    {"FractionalTypeIsCut", R"({"Type":2.9})", 2, 0, ""},
    {"TitleOfAnotherKindIsEmpty", R"({"Title":5,"Type":2})", 2, 0, ""},
};

class JobMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(JobMessages, ReadFromTheServer)
{
    const MessageCase& test = GetParam();
    JobMessage message;
    message.FromJson(json::parse(test.Json));
    EXPECT_EQ(message.Type, test.Type);
    EXPECT_EQ(message.Source, test.Source);
    EXPECT_EQ(message.Title, test.Title);
}

INSTANTIATE_TEST_SUITE_P(Cases, JobMessages, ::testing::ValuesIn(MessageCases), TestSupport::CaseName());

JobMessage SampleMessage()
{
    JobMessage message;
    message.Title = "Balance";
    message.Message = "Low balance";
    message.Type = JobMessage::ContinueOrCancel;
    message.Source = 9;
    message.CustomEventMessage = "event";
    return message;
}

TEST(JobMessages, NewMessageIsInformation)
{
    JobMessage message;
    EXPECT_EQ(message.Type, JobMessage::Information);
    json dumped;
    message.ToJson(dumped);
    EXPECT_EQ(dumped, json::parse(R"({"Title":"","Message":"","Type":2,"Source":0,"CustomEventMessage":""})"));
}

TEST(JobMessages, CopyAndRoundTrip)
{
    JobMessage copy;
    copy.CopyMessage(SampleMessage());
    json dumped;
    copy.ToJson(dumped);
    JobMessage read;
    read.FromJson(dumped);
    json again;
    read.ToJson(again);
    EXPECT_EQ(again, dumped);
    EXPECT_EQ(read.CustomEventMessage, "event");
}

TEST(UIMessages, MadeFromAServerMessage)
{
    UIMessage fresh;
    EXPECT_EQ(fresh.Type, 0);
    EXPECT_EQ(fresh.CancellationReason, 0);

    UIMessage shown;
    shown.CancellationReason = 8;
    shown.ConvertFromJobMessage(SampleMessage());
    EXPECT_EQ(shown.Title, "Balance");
    EXPECT_EQ(shown.Message, "Low balance");
    EXPECT_EQ(shown.Type, 1);
    EXPECT_EQ(shown.Source, 9);
    EXPECT_EQ(shown.CustomEventMessage, "event");
    EXPECT_EQ(shown.CancellationReason, 0);

    UIMessage constructed(SampleMessage());
    EXPECT_EQ(constructed.Title, "Balance");
    EXPECT_EQ(constructed.CancellationReason, 0);
}

TEST(SecureAnswers, SubmitResult)
{
    SecureSubmitResult result;
    result.FromJson(json::parse(R"({"JobIdentifier":"abc-1","PayloadToken":"t","PayloadUrl":"https://s/","SecureJobId":44})"));
    SecureSubmitResult copy;
    copy.CopyFrom(result);
    EXPECT_EQ(copy.JobIdentifier, "abc-1");
    EXPECT_EQ(copy.PayloadToken, "t");
    EXPECT_EQ(copy.PayloadUrl, "https://s/");
    EXPECT_EQ(copy.SecureJobId, 44);
    result.FromJson(json::object());
    json dumped;
    result.ToJson(dumped);
    EXPECT_EQ(dumped, json::parse(R"({"JobIdentifier":"","PayloadToken":"","PayloadUrl":"","SecureJobId":0})"));
}

TEST(SecureAnswers, PayloadResult)
{
    SecureSubmitPayloadResult result;
    result.FromJson(json::parse(R"({"AutoReleased":true,"Routed":"yes","ReleasedTo":"Printer 2"})"));
    SecureSubmitPayloadResult copy;
    copy.CopyFrom(result);
    EXPECT_TRUE(copy.AutoReleased);
    EXPECT_FALSE(copy.Routed);  // only a JSON boolean is a flag
    EXPECT_EQ(copy.ReleasedTo, "Printer 2");
    json dumped;
    copy.ToJson(dumped);
    EXPECT_EQ(dumped, json::parse(R"({"AutoReleased":true,"Routed":false,"ReleasedTo":"Printer 2"})"));
}

TEST(SpecialApplications, PassedOnUnchanged)
{
    Application application;
    application.FromJson(json::parse(R"({"ProcessName":"Preview","Ignore":true,"BehaviorFlags":6})"));
    Application copy;
    copy.CopyFrom(application);
    json dumped;
    copy.ToJson(dumped);
    EXPECT_EQ(dumped, json::parse(R"({"ProcessName":"Preview","Ignore":true,"BehaviorFlags":6})"));
    Application empty;
    empty.FromJson(json::array());
    EXPECT_EQ(empty.ProcessName, "");
    EXPECT_FALSE(empty.Ignore);
}

}  // namespace
