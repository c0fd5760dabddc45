// Many jobs against randomly scripted servers, users and hooks (a fixed
// seed): whatever happens, every connection gets exactly one final answer as
// its last message, CUPS agrees with it, and no payload is left behind.
#include "tests/JobPipeline/PipelineFixture.h"

#include "Core/Services/CVTrackOption.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace PipelineTests;
using StandIn::Answer;

namespace {

constexpr int Iterations = 30;

// One job's world, drawn from the generator.
struct Scenario {
    bool serverReachable;
    int printerStatus;
    int startRules;  // 0 go on, 1 error, 2 cancel, 3 audit cancel, 4 secure, 5 messages
    int endRules;    // 0 go on, 1 error, 2 cancel, 3 messages
    int popup;       // 0 print, 1 cancel, 2 snooze, 3 failure
    std::vector<bool> messageAnswers;
    bool uploadWorks;
    bool pendingSaveWorks;
    bool cancelEventWorks;
    int cupsPages;  // 0: an ordinary raw job
    int parsedPages;
    FakeHook::PageReply reply;

    std::string Describe() const
    {
        std::ostringstream text;
        text << "reachable " << serverReachable << ", printer " << printerStatus << ", start " << startRules
             << ", end " << endRules << ", popup " << popup << ", upload " << uploadWorks << ", pending "
             << pendingSaveWorks << ", cancel event " << cancelEventWorks << ", CUPS pages " << cupsPages
             << ", parsed pages " << parsedPages << ", reply " << static_cast<int>(reply);
        return text.str();
    }
};

Scenario Draw(std::mt19937& random)
{
    auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
    Scenario s;
    s.serverReachable = chance(0.85);
    const int printerStatuses[] = {200, 200, 200, 500, 404};
    s.printerStatus = printerStatuses[pick(5)];
    s.startRules = pick(6);
    s.endRules = pick(4);
    s.popup = pick(4);
    for (int i = 0; i < 4; ++i)
        s.messageAnswers.push_back(chance(0.7));
    s.uploadWorks = chance(0.6);
    s.pendingSaveWorks = chance(0.7);
    s.cancelEventWorks = chance(0.8);
    s.cupsPages = chance(0.3) ? 1 + pick(3) : 0;
    s.parsedPages = pick(4);
    const FakeHook::PageReply replies[] = {FakeHook::PageReply::PageSets, FakeHook::PageReply::PageSets,
                                           FakeHook::PageReply::PageSets, FakeHook::PageReply::OtherJob,
                                           FakeHook::PageReply::Disconnect};
    s.reply = replies[pick(5)];
    return s;
}

RulesAnswer Rules(const Scenario& s, int start, int stop)
{
    RulesAnswer answer = GoOn(stop);
    int choice = start == 0 ? s.startRules : s.endRules;
    switch (start == 0 ? choice : (choice == 3 ? 5 : choice)) {
    case 2:
        answer.TrackOptionSet = true;
        answer.TrackOption = CVTrackOptionCancel;
        answer.CancelReason = 3;
        break;
    case 3:
        answer.TrackOptionSet = true;
        answer.TrackOption = CVTrackOptionCancel;
        answer.CancelReason = 5;
        answer.ForceLateRuleAudit = true;
        break;
    case 4:
        answer.SecureOptionSet = true;
        answer.SecureOption = 2 + (s.printerStatus % 2);
        break;
    case 5:
        answer.Messages = {Message(2, "info"), Message(1, "question", 0), Message(0, "notice")};
        break;
    default:
        break;
    }
    return answer;
}

// Every endpoint the scenario may break is set anew: broken, or back to its
// default answer.
void ScriptServer(StandIn::StandInServer& server, const Scenario& s)
{
    auto set = [&server](const char* method, const char* path, bool works, int status = 500) {
        if (works)
            server.ResetAnswer(method, path);
        else
            server.SetAnswer(method, path, Answer::Json(status, R"({"Message":"refused"})"));
    };
    set("GET", "printapi/info/ping", s.serverReachable, 503);
    set("POST", "printapi/printers", s.printerStatus == 200, s.printerStatus);
    set("PUT", "printapi/securejobs/payload/*", s.uploadWorks);
    set("POST", "printapi/pendingjobs", s.pendingSaveWorks);
    set("POST", "printapi/jobs/cancelevent/*", s.cancelEventWorks);
}

}  // namespace

TEST_F(PipelineTest, EveryScriptedOutcomeEndsWithOneFinalAnswerAndNoPayload)
{
    std::mt19937 random(20261209);
    int finals = 0;
    for (int iteration = 0; iteration < Iterations; ++iteration) {
        Scenario s = Draw(random);
        SCOPED_TRACE(testing::Message() << "iteration " << iteration << ": " << s.Describe());
        ScriptServer(mServer, s);
        ScriptRules([s](int start, int stop) -> std::optional<RulesAnswer> {
            if ((start == 0 && s.startRules == 1) || (start != 0 && s.endRules == 1))
                return std::nullopt;
            return Rules(s, start, stop);
        });
        mUI.AnswerMessages(s.messageAnswers);
        const ScriptedUserInterface::PopupAnswer popups[] = {
            ScriptedUserInterface::PopupAnswer::Print(), ScriptedUserInterface::PopupAnswer::Cancel(),
            ScriptedUserInterface::PopupAnswer::Snooze(), ScriptedUserInterface::PopupAnswer::Failing()};
        mUI.AnswerPopups({popups[s.popup]});
        ForgetPing();

        int jobId = s.cupsPages > 0 ? SubmitCountedHeldJob(s.cupsPages) : SubmitHeldJob();
        ASSERT_GT(jobId, 0);
        WritePayload(jobId, "document " + std::to_string(iteration));
        JobRun run = RunJob(jobId, HpglJob(s.parsedPages), s.reply);

        ASSERT_TRUE(run.closed);
        EXPECT_FALSE(PayloadExists(jobId));
        if (s.reply == FakeHook::PageReply::Disconnect) {
            EXPECT_EQ(run.finalAnswers.size(), 0u);  // the hook had gone
            continue;
        }
        ASSERT_EQ(run.finalAnswers.size(), 1u);
        EXPECT_EQ(run.received.back(), run.finalAnswers.front());
        if (run.finalAnswers.front() == "RX")
            EXPECT_TRUE(CancelledInCups(jobId));
        else
            EXPECT_TRUE(StillHeldInCups(jobId));
        ++finals;
    }
    EXPECT_GT(finals, Iterations / 2);
}
