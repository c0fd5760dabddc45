// The job pipeline end to end: real held CUPS jobs, the real job controller
// making a job thread per job, a fake hook on a socket pair, the HTTPS
// stand-in of the server and a user interface answering from its own thread.
#include "tests/JobPipeline/PipelineFixture.h"

#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/Services/CVTrackOption.h"
#include "Core/Services/JobHandler.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"

#include <atomic>
#include <functional>
#include <cstdio>
#include <future>
#include <mutex>
#include <sstream>
#include <gtest/gtest.h>
#include <gmock/gmock.h>

using namespace PipelineTests;
using StandIn::Answer;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Titles of the calls of one kind, in order.
std::vector<std::string> Titles(const std::vector<ScriptedUserInterface::Call>& calls)
{
    std::vector<std::string> titles;
    for (const ScriptedUserInterface::Call& call : calls)
        titles.push_back(call.title);
    return titles;
}

// Rules answers that apply a change to the answer of one stage range.
RulesScript AtStart(std::function<void(RulesAnswer&)> change)
{
    return [change](int start, int stop) {
        RulesAnswer answer = GoOn(stop);
        if (start == 0)
            change(answer);
        return answer;
    };
}

// Prices every page at one unit of money.
void PricePagesAtOne(RulesAnswer& answer)
{
    answer.PricingChanged = true;
    answer.PriceOption = 0;
    answer.BWUnitCost = 1.0;
    answer.ColorUnitCost = 1.0;
}

// Rules that let every job go on, priced at one unit of money a page.
RulesScript PricedAtOne()
{
    return [](int, int stop) {
        RulesAnswer answer = GoOn(stop);
        PricePagesAtOne(answer);
        return answer;
    };
}

}  // namespace

// The hook parses the job while the job thread reads the PPD and asks the
// server: page data are asked for as soon as CUPS has named the printer,
// before the server looks the printer up.
TEST_F(PipelineTest, TheHookParsesWhileTheServerLooksThePrinterUp)
{
    int jobId = SubmitHeldJob();
    ASSERT_GT(jobId, 0);
    FakeHook hook(static_cast<uint32_t>(jobId), HpglJob(2));
    std::atomic<bool> askedFirst{false};
    StandIn::Responder printers = StandIn::DefaultResponder("POST", "printapi/printers");
    mServer.SetResponder("POST", "printapi/printers", [&](const StandIn::RecordedRequest& request) {
        askedFirst = TestSupport::WaitUntil([&] { return hook.AskedForPageSets(); }, std::chrono::seconds(5));
        return printers(request);
    });
    mController->HandleHookConnection(hook.TakeClientEnd());
    ASSERT_TRUE(hook.WaitForClose() && WaitForJobThread(jobId));
    EXPECT_TRUE(askedFirst);
    EXPECT_THAT(hook.Received(), ElementsAre("RP", "RZ"));
    EXPECT_EQ(PagesOf(LastRulesJob()), 2);
}

// The printed job's user is re-read from the server once the hook has its
// answer: the printer does not wait for it.
TEST_F(PipelineTest, ThePrintedJobsUserIsReadAgainAfterTheAnswer)
{
    int jobId = SubmitHeldJob();
    ASSERT_GT(jobId, 0);
    FakeHook hook(static_cast<uint32_t>(jobId), HpglJob(2));
    std::mutex lock;
    std::vector<bool> afterAnswer;  // per user read: whether the hook had its answer
    StandIn::Responder users = StandIn::DefaultResponder("GET", "printapi/users");
    mServer.SetResponder("GET", "printapi/users", [&](const StandIn::RecordedRequest& request) {
        bool answered = TestSupport::WaitUntil([&] { return !hook.FinalAnswers().empty(); },
                                               std::chrono::milliseconds(200));
        std::lock_guard hold(lock);
        afterAnswer.push_back(answered);
        return users(request);
    });
    mController->HandleHookConnection(hook.TakeClientEnd());
    ASSERT_TRUE(hook.WaitForClose() && WaitForJobThread(jobId));
    EXPECT_THAT(hook.FinalAnswers(), ElementsAre("RZ"));
    std::lock_guard hold(lock);
    ASSERT_FALSE(afterAnswer.empty());
    EXPECT_TRUE(afterAnswer.back());
}

TEST_F(PipelineTest, TrackedJobRunsRulesPopsUpAndPrints)
{
    int jobId = SubmitHeldJob();
    ASSERT_GT(jobId, 0);
    WritePayload(jobId, "spool copy");
    JobRun run = RunJob(jobId, HpglJob(2));

    ASSERT_TRUE(run.closed);
    EXPECT_THAT(run.received, ElementsAre("RP", "RZ"));
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1", "2-4"));
    EXPECT_EQ(PagesOf(LastRulesJob()), 2);
    EXPECT_EQ(LastRulesJob()["DocumentName"], "Quarterly Report");
    EXPECT_EQ(mServer.CountOf("POST", "printapi/printers"), 1u);
    EXPECT_THAT(Titles(mUI.CallsOf("popup")), ElementsAre("Quarterly Report"));
    EXPECT_THAT(mUI.CallsOf("message"), IsEmpty());
    EXPECT_TRUE(StillHeldInCups(jobId));
    EXPECT_FALSE(PayloadExists(jobId));
}

// CUPS on this system knows no page count for a raw job; the pages the hook
// parsed decide, and only a job without pages from either is untracked. A
// job the hook could not count is tracked with its fallback count, raised to
// CUPS's count when that is larger.
TEST_F(PipelineTest, PageCountComesFromCupsOrTheParsedPageSets)
{
    const std::string uncountable = "Plain words that begin no printer language at all.\n";
    struct Case {
        const char* name;
        int cupsPages;  // 0: an ordinary raw job
        std::string data;
        std::vector<std::string> rulesCalls;
        int pagesSent;
    };
    const Case cases[] = {
        {"no pages anywhere", 0, HpglJob(0), {}, 0},
        {"parsed pages only", 0, HpglJob(3), {"0-1", "2-4"}, 3},
        {"CUPS count only", 4, HpglJob(0), {"0-1", "2-4"}, 4},
        {"both: the parse gives the page sets", 4, HpglJob(2), {"0-1", "2-4"}, 2},
        {"uncounted: never fewer than one page", 0, uncountable, {"0-1", "2-4"}, 1},
        {"uncounted: CUPS's larger count", 4, uncountable, {"0-1", "2-4"}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mServer.ClearRequests();
        int jobId = c.cupsPages > 0 ? SubmitCountedHeldJob(c.cupsPages) : SubmitHeldJob();
        ASSERT_GT(jobId, 0);
        JobRun run = RunJob(jobId, c.data);
        EXPECT_THAT(run.received, ElementsAre("RP", "RZ"));
        EXPECT_EQ(RulesCalls(), c.rulesCalls);
        if (!c.rulesCalls.empty()) {
            EXPECT_EQ(PagesOf(LastRulesJob()), c.pagesSent);
        }
        EXPECT_TRUE(StillHeldInCups(jobId));
    }
    // Only the tracked jobs popped up.
    EXPECT_EQ(mUI.CallsOf("popup").size(), 5u);
    EXPECT_NE(LogText().find("could not be counted from its data; it is billed as 4 pages, a fallback count"),
              std::string::npos);
}

// A job CUPS cannot tell about has no printer name or port: it prints
// untracked, without asking the hook for page data or the server anything.
TEST_F(PipelineTest, JobWithoutPrinterInformationPrintsUntracked)
{
    // The controller as the client wires it.
    mController->SetJobThreadFactory(CVCoreDataServices::JobHandler::Factory());
    FakeHook hook(987654, HpglJob(1));
    mController->HandleHookConnection(hook.TakeClientEnd());
    ASSERT_TRUE(hook.WaitForClose());
    EXPECT_THAT(hook.Received(), ElementsAre("RZ"));
    EXPECT_THAT(RulesCalls(), IsEmpty());
    EXPECT_EQ(mServer.CountOf("POST", "printapi/printers"), 0u);
    for (const ScriptedUserInterface::Call& call : mUI.Calls())
        EXPECT_FALSE(call.IsQuestion()) << call.Line();  // only notices, such as the pending-job state
}

// Page data for another job, or none because the hook went away, leaves the
// job with the default page set from CUPS.
TEST_F(PipelineTest, PageDataForAnotherJobLeavesTheDefaultPageSet)
{
    int counted = SubmitCountedHeldJob(3);
    ASSERT_GT(counted, 0);
    JobRun run = RunJob(counted, HpglJob(5), FakeHook::PageReply::OtherJob);
    EXPECT_THAT(run.received, ElementsAre("RP", "RZ"));
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1", "2-4"));
    nlohmann::json job = LastRulesJob();
    EXPECT_EQ(PagesOf(job), 3);
    ASSERT_EQ(job["Costing"]["PageSets"].size(), 1u);
    EXPECT_EQ(job["Costing"]["PageSets"][0]["SizeName"], "Letter");  // the PPD's default size

    // Without a CUPS count the job has no pages and is not tracked.
    mServer.ClearRequests();
    int raw = SubmitHeldJob();
    run = RunJob(raw, HpglJob(5), FakeHook::PageReply::OtherJob);
    EXPECT_THAT(run.received, ElementsAre("RP", "RZ"));
    EXPECT_THAT(RulesCalls(), IsEmpty());

    // A hook that closes instead of answering gets nothing more.
    int closing = SubmitCountedHeldJob(2);
    WritePayload(closing, "spool copy");
    run = RunJob(closing, HpglJob(2), FakeHook::PageReply::Disconnect);
    EXPECT_TRUE(run.closed);
    EXPECT_THAT(run.received, ElementsAre("RP"));
    EXPECT_FALSE(PayloadExists(closing));
}

// A server error from the printer look-up cancels the job with reason 11,
// also when its pages would have made it untracked.
TEST_F(PipelineTest, PrinterLookupServerErrorCancelsTheJob)
{
    mServer.SetAnswer("POST", "printapi/printers", Answer::Json(500, R"({"Message":"failure"})"));
    for (int pages : {2, 0}) {
        SCOPED_TRACE(pages);
        int jobId = SubmitHeldJob();
        JobRun run = RunJob(jobId, HpglJob(pages));
        ExpectCancelled(run);
    }
    std::vector<ScriptedUserInterface::Call> messages = mUI.CallsOf("message");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].reason, CVCancelReasonServerError);
    EXPECT_EQ(messages[1].reason, CVCancelReasonServerError);
    EXPECT_THAT(RulesCalls(), IsEmpty());
    EXPECT_THAT(mUI.CallsOf("popup"), IsEmpty());
}

// Start rules: questions and cancels in list order, information after them;
// end rules: every message in list order. The pop-up comes in between.
TEST_F(PipelineTest, RuleMessagesAreShownInOrder)
{
    ScriptRules([](int start, int stop) {
        RulesAnswer answer = GoOn(stop);
        if (start == 0)
            answer.Messages = {Message(2, "I1"), Message(1, "Q1"), Message(0, "C1"), Message(2, "I2")};
        else
            answer.Messages = {Message(2, "E1"), Message(1, "E2")};
        return answer;
    });
    int jobId = SubmitHeldJob();
    JobRun run = RunJob(jobId);
    EXPECT_THAT(run.finalAnswers, ElementsAre("RZ"));

    std::vector<std::string> sequence;
    for (const ScriptedUserInterface::Call& call : mUI.Calls())
        if (call.kind == "message" || call.kind == "popup")
            sequence.push_back(call.kind == "popup" ? "popup" : call.title);
    EXPECT_THAT(sequence, ElementsAre("Q1", "C1", "I1", "I2", "popup", "E1", "E2"));
    EXPECT_THAT(CancelEventReasons(), IsEmpty());
}

// A refused message cancels the job with reason 13 (15 for a message of
// source 0), drops the messages after it and reports the cancel once.
TEST_F(PipelineTest, RefusedStartMessageCancelsTheJob)
{
    for (int source : {1, 0}) {
        SCOPED_TRACE(source);
        mServer.ClearRequests();
        ScriptRules(AtStart([source](RulesAnswer& answer) {
            answer.Messages = {Message(1, "Q1", source), Message(2, "I1"), Message(1, "Q2")};
        }));
        mUI.AnswerMessages({false});
        size_t shownBefore = mUI.CallsOf("message").size();
        int jobId = SubmitHeldJob();
        JobRun run = RunJob(jobId);

        int reason = source == 0 ? 15 : 13;
        ExpectCancelled(run);
        EXPECT_THAT(CancelEventReasons(), ElementsAre(reason));
        EXPECT_THAT(RulesCalls(), ElementsAre("0-1"));
        std::vector<ScriptedUserInterface::Call> shown = mUI.CallsOf("message");
        shown.erase(shown.begin(), shown.begin() + static_cast<long>(shownBefore));
        ASSERT_EQ(shown.size(), 1u);  // the refused question is the only alert
        EXPECT_EQ(shown[0].title, "Q1");
    }
    EXPECT_THAT(mUI.CallsOf("popup"), IsEmpty());
}

// A message refused during the end rules reports the cancel itself.
TEST_F(PipelineTest, RefusedEndRulesMessageCancelsTheJob)
{
    ScriptRules([](int start, int stop) {
        RulesAnswer answer = GoOn(stop);
        if (start == 2)
            answer.Messages = {Message(1, "E1"), Message(2, "E2")};
        return answer;
    });
    mUI.AnswerMessages({false});
    int jobId = SubmitHeldJob();
    JobRun run = RunJob(jobId);
    ExpectCancelled(run);
    EXPECT_THAT(CancelEventReasons(), ElementsAre(13));
    EXPECT_THAT(Titles(mUI.CallsOf("message")), ElementsAre("E1"));
}

// A client that quits while the user reads why the server cancelled the job
// answers that cancel, not print: the job was committed to its cancel before
// the message came up.
TEST_F(PipelineTest, QuitDuringTheMessageOfACancelledJobCancelsIt)
{
    ScriptRules(AtStart([](RulesAnswer& answer) {
        answer.TrackOptionSet = true;
        answer.TrackOption = CVTrackOptionCancel;
        answer.CancelReason = CVCancelReasonColorOnly;
    }));
    mUI.HoldQuestions();
    int jobId = SubmitHeldJob();
    auto run = std::async(std::launch::async, [&] { return RunJob(jobId); });
    ASSERT_TRUE(mUI.WaitForQuestions(1, std::chrono::seconds(30)));
    mController->Shutdown();
    // The hook ends the job in CUPS on that answer.
    EXPECT_THAT(run.get().finalAnswers, ElementsAre("RX"));
}

// A job the rules cancel gets one alert, at the start or at the end rules,
// with the server's own words when it sent a message, else the reason alone.
TEST_F(PipelineTest, RulesCancelIsShownOnceWithTheServersText)
{
    struct Case {
        int stage;
        bool withMessage;
    };
    for (Case c : {Case{0, true}, Case{0, false}, Case{2, true}}) {
        SCOPED_TRACE(testing::Message() << c.stage << c.withMessage);
        ScriptRules([c](int start, int stop) {
            RulesAnswer answer = GoOn(stop);
            if (start == c.stage) {
                answer.TrackOptionSet = true;
                answer.TrackOption = CVTrackOptionCancel;
                answer.CancelReason = CVCancelReasonColorOnly;
                if (c.withMessage)
                    answer.Messages = {Message(2, "I1"), Message(0, "Colour only here")};
            }
            return answer;
        });
        size_t shownBefore = mUI.CallsOf("message").size();
        ExpectCancelled(RunJob(SubmitHeldJob()));
        std::vector<ScriptedUserInterface::Call> shown = mUI.CallsOf("message");
        ASSERT_EQ(shown.size(), shownBefore + 1);
        EXPECT_EQ(shown.back().reason, CVCancelReasonColorOnly);
        EXPECT_EQ(shown.back().type, 0);
        EXPECT_EQ(shown.back().title, c.withMessage ? "Colour only here" : "");
    }
}

// A job whose hook goes while the user is asked (CUPS cancelled the job and
// ended the hook) ends there: the question is closed, and nothing more is
// asked of the server, reported, cancelled or answered.
TEST_F(PipelineTest, HookLeavingWhileTheUserIsAskedEndsTheJob)
{
    ScriptRules(AtStart([](RulesAnswer& answer) { answer.Messages = {Message(1, "Q1")}; }));
    mUI.HoldQuestions();
    // The question the hook leaves in, and the ones answered before it.
    struct Case {
        const char* question;
        int authenticationType;
        std::vector<std::string> before;
    };
    for (const Case& c : {Case{"prompt", 2, {}}, Case{"message", 0, {}}, Case{"popup", 0, {"message"}}}) {
        SCOPED_TRACE(c.question);
        ScriptSettings({{"AuthenticationType", c.authenticationType}});
        mClock.Advance(24 * 3600);  // past the reuse of the settings answer
        mServer.ClearRequests();
        int jobId = SubmitHeldJob();
        FakeHook hook(static_cast<uint32_t>(jobId), HpglJob(2));
        mController->HandleHookConnection(hook.TakeClientEnd());
        for (const std::string& answered : c.before) {
            ASSERT_TRUE(TestSupport::WaitUntil([&] { return mUI.Questions() == std::vector<std::string>{answered}; },
                                               std::chrono::seconds(30)));
            mUI.AnswerOldest(true);
        }
        ASSERT_TRUE(TestSupport::WaitUntil(
            [&] { return mUI.Questions() == std::vector<std::string>{c.question}; }, std::chrono::seconds(30)));
        std::vector<std::string> rulesBefore = RulesCalls();
        hook.Leave();
        ASSERT_TRUE(WaitForJobThread(jobId));
        EXPECT_TRUE(mUI.Questions().empty());
        EXPECT_THAT(hook.FinalAnswers(), IsEmpty());
        EXPECT_EQ(RulesCalls(), rulesBefore);
        EXPECT_THAT(CancelEventReasons(), IsEmpty());
        EXPECT_TRUE(StillHeldInCups(jobId));
    }
    EXPECT_NE(LogText().find("its hook went while the user was asked"), std::string::npos);
}

void PipelineTests::PipelineTest::ExpectEndedBeforeTheAlert(bool popupFirst)
{
    mUI.HoldQuestions();
    int jobId = SubmitHeldJob();
    FakeHook hook(static_cast<uint32_t>(jobId), HpglJob(2));
    mController->HandleHookConnection(hook.TakeClientEnd());
    ASSERT_TRUE(mUI.WaitForQuestions(1, std::chrono::seconds(30)));
    if (popupFirst) {
        ASSERT_EQ(mUI.Questions(), std::vector<std::string>{"popup"});
        mUI.AnswerOldest(false);
    }
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return mUI.Questions() == std::vector<std::string>{"message"}; },
                                       std::chrono::seconds(30)));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return !hook.FinalAnswers().empty(); }, std::chrono::seconds(10)));
    EXPECT_THAT(hook.FinalAnswers(), ElementsAre("RX"));
    EXPECT_TRUE(CancelledInCups(jobId));
    mUI.AnswerOldest(true);
    ASSERT_TRUE(WaitForJobThread(jobId));
    EXPECT_THAT(hook.FinalAnswers(), ElementsAre("RX"));
}

// A job cancelled in its early pop-up ends at once.
TEST_F(PipelineTest, CancellingTheEarlyPopupEndsTheJobBeforeItsAlertIsDismissed)
{
    ScriptRules(WithPopup());
    ScriptSettings({{"AlwaysPopEarly", true}});
    ExpectEndedBeforeTheAlert(true);
}

// A job the rules refuse ends while the user still reads why.
TEST_F(PipelineTest, ARefusedJobEndsBeforeItsAlertIsDismissed)
{
    ScriptRules(AtStart([](RulesAnswer& answer) {
        answer.TrackOptionSet = true;
        answer.TrackOption = CVTrackOptionCancel;
        answer.CancelReason = CVCancelReasonColorOnly;
    }));
    ExpectEndedBeforeTheAlert(false);
}

// Rules that cancel in audit mode let the job go on silently until the end
// rules, which report the cancel again and cancel it.
TEST_F(PipelineTest, AuditModeCancelIsCarriedOutByTheEndRules)
{
    ScriptRules(AtStart([](RulesAnswer& answer) {
        answer.TrackOptionSet = true;
        answer.TrackOption = CVTrackOptionCancel;
        answer.CancelReason = CVCancelReasonColorOnly;
        answer.ForceLateRuleAudit = true;
    }));
    int jobId = SubmitHeldJob();
    JobRun run = RunJob(jobId);
    ExpectCancelled(run);
    EXPECT_THAT(CancelEventReasons(), ElementsAre(CVCancelReasonColorOnly, CVCancelReasonColorOnly));
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1"));
    EXPECT_THAT(mUI.CallsOf("popup"), IsEmpty());
}

// The pending-job limit stops a user with as many pending jobs as allowed;
// a limit of 0 never stops anyone.
TEST_F(PipelineTest, PendingJobLimitCancelsTheJob)
{
    UsePendingStore(3);
    for (uint64_t limit : {3u, 0u}) {
        SCOPED_TRACE(limit);
        CVClientData::User user = StandardUser();
        user.MaxPendingJobs = limit;
        ScriptUser(user);
        size_t shownBefore = mUI.CallsOf("message").size();
        int jobId = SubmitHeldJob();
        JobRun run = RunJob(jobId);
        std::vector<ScriptedUserInterface::Call> shown = mUI.CallsOf("message");
        if (limit == 3) {
            ExpectCancelled(run);
            ASSERT_EQ(shown.size(), shownBefore + 1);
            EXPECT_EQ(shown[shownBefore].title, "Exceeded Pending Jobs");
            EXPECT_EQ(shown[shownBefore].text, "You have 3 pending jobs. Please clear all pending jobs before printing.");
            EXPECT_EQ(shown[shownBefore].type, 0);
        } else {
            EXPECT_THAT(run.finalAnswers, ElementsAre("RZ"));
            EXPECT_EQ(shown.size(), shownBefore);
        }
    }
}

// A job that costs more than the balance is cancelled with reason 8 before
// the pop-up; a pop-up left without Print (a value over its budget, or
// Cancel) cancels too.
TEST_F(PipelineTest, BalanceAndPopupRefusalsCancelTheJob)
{
    ScriptRules(PricedAtOne());
    CVClientData::User poor = StandardUser();
    poor.BWBalanceRemaining = 0.5;
    ScriptUser(poor);
    int overBalance = SubmitHeldJob();
    JobRun run = RunJob(overBalance);
    ExpectCancelled(run);
    std::vector<ScriptedUserInterface::Call> messages = mUI.CallsOf("message");
    ASSERT_EQ(messages.size(), 1u);  // one alert per refusal
    EXPECT_EQ(messages[0].reason, CVCancelReasonZeroBalance);
    EXPECT_THAT(mUI.CallsOf("popup"), IsEmpty());
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1"));

    ScriptUser(StandardUser());
    mUI.AnswerPopups({ScriptedUserInterface::PopupAnswer::Cancel()});
    int refused = SubmitHeldJob();
    run = RunJob(refused);
    ExpectCancelled(run);
    EXPECT_EQ(mUI.CallsOf("popup").size(), 1u);
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1", "0-1"));  // no end rules for the cancelled job
}

// A manual batch: the first job pops up and starts the batch; the next job
// of the batch goes without a pop-up, with the first job's entries; a job of
// the batch over the balance is cancelled and ends the batch.
TEST_F(PipelineTest, ManualBatchCarriesEntriesAndEndsOverBalance)
{
    ScriptRules(PricedAtOne());
    CVClientData::User batcher = StandardUser();
    batcher.BatchMode = 1;
    batcher.MaxBatchSize = 3;
    batcher.BatchTimeout = 600;
    ScriptUser(batcher);
    mUI.AnswerPopups(
        {ScriptedUserInterface::PopupAnswer::Print([](ClientJob& job) { job.Comments = "Project X"; })});

    JobRun first = RunJob(SubmitHeldJob());
    EXPECT_THAT(first.finalAnswers, ElementsAre("RZ"));
    EXPECT_EQ(mUI.CallsOf("batchStarted").size(), 1u);

    mServer.ClearRequests();
    JobRun second = RunJob(SubmitHeldJob());
    EXPECT_THAT(second.finalAnswers, ElementsAre("RZ"));
    EXPECT_EQ(mUI.CallsOf("popup").size(), 1u);
    EXPECT_EQ(LastRulesJob()["Comments"], "Project X");
    EXPECT_EQ(LastRulesJob()["TrackOption"], CVTrackOptionTrackSilently);

    batcher.BWBalanceRemaining = 0.5;
    ScriptUser(batcher);
    int third = SubmitHeldJob();
    JobRun run = RunJob(third);
    ExpectCancelled(run);
    EXPECT_FALSE(mUI.CallsOf("batchEnded").empty());
    EXPECT_EQ(mController->GetBatchUser(), nullptr);
}

// A snoozed job's end rules stop at stage 2; it is saved as pending and printed.
TEST_F(PipelineTest, SnoozedJobIsSavedAsPendingAndPrinted)
{
    CountingPendingStore& store = UsePendingStore(0);
    mUI.AnswerPopups({ScriptedUserInterface::PopupAnswer::Snooze()});
    int jobId = SubmitHeldJob();
    int snoozeUpdatesBefore = store.SnoozeUpdates();
    JobRun run = RunJob(jobId);
    EXPECT_THAT(run.finalAnswers, ElementsAre("RZ"));
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1", "2-2"));
    EXPECT_EQ(mServer.CountOf("POST", "printapi/pendingjobs"), 1u);
    EXPECT_GE(store.SnoozeUpdates(), snoozeUpdatesBefore + 2);  // after the start rules and after the save
    EXPECT_TRUE(StillHeldInCups(jobId));
}

namespace {

// The uploads of secure payloads the server received.
std::vector<StandIn::RecordedRequest> PayloadUploads(const StandIn::StandInServer& server)
{
    std::vector<StandIn::RecordedRequest> uploads;
    for (const StandIn::RecordedRequest& request : server.Requests())
        if (request.method == "PUT" && request.path.starts_with("/printapi/securejobs/payload/"))
            uploads.push_back(request);
    return uploads;
}

// Rules that secure every job without a balance check, priced at one unit.
RulesScript SecuredWithoutBalance()
{
    return [](int start, int stop) {
        RulesAnswer answer = GoOn(stop);
        PricePagesAtOne(answer);
        if (start == 0) {
            answer.SecureOptionSet = true;
            answer.SecureOption = CVSecureOptionSecuredWithoutBalance;
        }
        return answer;
    };
}

}  // namespace

// A secured job skips the balance check, runs its end rules to stage 3, is
// uploaded and cancelled here with exactly one 'R','X'.
TEST_F(PipelineTest, SecuredJobIsUploadedAndCancelledHere)
{
    ScriptSettings({{"AlwaysPopSecure", true}});
    ScriptRules(SecuredWithoutBalance());
    CVClientData::User poor = StandardUser();
    poor.BWBalanceRemaining = 0.0;  // not asked: the job is secured without balance
    ScriptUser(poor);

    int secured = SubmitHeldJob();
    WritePayload(secured, "the user's document");
    JobRun run = RunJob(secured);
    ExpectCancelled(run);
    EXPECT_THAT(RulesCalls(), ElementsAre("0-1", "2-3"));
    std::vector<StandIn::RecordedRequest> uploads = PayloadUploads(mServer);
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].body, "the user's document");
    EXPECT_FALSE(PayloadExists(secured));
    std::vector<ScriptedUserInterface::Call> secureMessages = mUI.CallsOf("secure");
    ASSERT_EQ(secureMessages.size(), 1u);
    EXPECT_EQ(secureMessages[0].title, "Job Secured");
    EXPECT_EQ(secureMessages[0].text, "Quarterly Report");
}

namespace {

// How an upload fails, under which disconnected-job option.
struct FailedUploadCase {
    int disconnectedJobOption;
    bool dropped;  // the connection is dropped; else the server answers 500
};

void PrintTo(const FailedUploadCase& c, std::ostream* out)
{
    *out << "option " << c.disconnectedJobOption << (c.dropped ? ", dropped" : ", server error");
}

class FailedUploadTest : public PipelineTest, public ::testing::WithParamInterface<FailedUploadCase> {};

}  // namespace

// A job meant to wait for its owner at a printer never prints here: when its
// upload fails it is cancelled, the user is told, its copy goes and nothing
// is kept to be reported as printed, whatever the disconnected-job option.
TEST_P(FailedUploadTest, SecuredJobWhoseUploadFailsIsCancelledAndNeverPrinted)
{
    ScriptSettings({{"DisconnectedJobOption", GetParam().disconnectedJobOption}});
    ScriptRules(SecuredWithoutBalance());
    mServer.SetAnswer("PUT", "printapi/securejobs/payload/*",
                      GetParam().dropped ? Answer::Dropped() : Answer::Json(500, R"({"Message":"disk full"})"));
    int jobId = SubmitHeldJob();
    WritePayload(jobId, "another document");
    JobRun run = RunJob(jobId);
    ExpectCancelled(run);
    EXPECT_EQ(PayloadUploads(mServer).size(), 1u);
    EXPECT_FALSE(PayloadExists(jobId));
    EXPECT_THAT(Titles(mUI.CallsOf("secure")), ElementsAre("Failed to Secure"));
    EXPECT_NE(LogText().find("could not be secured on the server; it is cancelled"), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(mRoot.Folder(Platform::Folder::UserData)))
        EXPECT_FALSE(entry.path().filename().string().ends_with("." + std::to_string(jobId) + ".job"));
}

INSTANTIATE_TEST_SUITE_P(EveryDisconnectedJobOption, FailedUploadTest,
                         ::testing::Values(FailedUploadCase{1, false}, FailedUploadCase{1, true},
                                           FailedUploadCase{2, false}, FailedUploadCase{2, true},
                                           FailedUploadCase{3, false}, FailedUploadCase{3, true},
                                           FailedUploadCase{4, false}, FailedUploadCase{4, true}),
                         [](const auto& info) {
                             return "Option" + std::to_string(info.param.disconnectedJobOption)
                                    + (info.param.dropped ? "Dropped" : "ServerError");
                         });

// Without the hook's copy of the job at its name (the copy failed, or
// someone put a folder or a link to another file there) the secure release
// fails: nothing is uploaded, no job is submitted to the server, the job is
// cancelled and its owner is told.
TEST_F(PipelineTest, SecuredJobWithoutTheHooksCopyFailsToSecure)
{
    ScriptRules(SecuredWithoutBalance());
    std::string victim = mRoot.Host("/victim");
    TestSupport::WriteFileText(victim, "someone's private file");
    const struct {
        const char* what;
        std::function<void(const std::string&)> plant;
    } cases[] = {
        {"no copy", [](const std::string&) {}},
        {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
        {"a link to another file", [&](const std::string& path) { std::filesystem::create_symlink(victim, path); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mUI.ClearCalls();
        int jobId = SubmitHeldJob();
        c.plant(PayloadPath(jobId));
        ExpectCancelled(RunJob(jobId));
        EXPECT_THAT(Titles(mUI.CallsOf("secure")), ElementsAre("Failed to Secure"));
        std::filesystem::remove_all(PayloadPath(jobId));
    }
    EXPECT_EQ(mServer.CountOf("POST", "printapi/securejobs/1"), 0u);
    EXPECT_THAT(PayloadUploads(mServer), IsEmpty());
    EXPECT_EQ(TestSupport::ReadFileText(victim), "someone's private file");
}

// An announced id is remembered only once CUPS holds the job: an id that
// names no job leaves nothing behind, while a job CUPS holds is taken once and
// a second announcement of it prints untracked without a page-data request.
TEST_F(PipelineTest, AnIdIsRememberedOnlyForAJobCupsHolds)
{
    constexpr int kNoSuchJob = 99999;
    EXPECT_THAT(RunJob(kNoSuchJob).finalAnswers, ElementsAre("RZ"));
    EXPECT_FALSE(mController->HaveAlreadyHandledJob(kNoSuchJob));
    int jobId = SubmitHeldJob();
    EXPECT_THAT(RunJob(jobId).received, ElementsAre("RP", "RZ"));
    EXPECT_TRUE(mController->HaveAlreadyHandledJob(jobId));
    EXPECT_THAT(RunJob(jobId).received, ElementsAre("RZ"));
}

namespace {

// Client ends of the established TCP connections to a local port.
size_t ConnectionsTo(int port)
{
    char hexPort[8];
    std::snprintf(hexPort, sizeof hexPort, "%04X", static_cast<unsigned>(port));
    size_t count = 0;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::istringstream lines(TestSupport::ReadFileText(table));
        std::string line;
        std::getline(lines, line);  // the heading
        while (std::getline(lines, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            if (state == "01" && remote.substr(remote.find(':') + 1) == hexPort)
                ++count;
        }
    }
    return count;
}

}  // namespace

// 150 jobs wait for their users at once: their threads hold no connection to
// cupsd meanwhile, so every other CUPS client (lpstat here) is served at once.
TEST_F(PipelineTest, JobsWaitingForTheirUsersHoldNoCupsConnection)
{
    constexpr int kJobs = 150;
    ScriptRules(WithPopup());
    mUI.HoldQuestions();
    std::vector<std::unique_ptr<FakeHook>> hooks;
    for (int n = 0; n < kJobs; ++n) {
        int jobId = SubmitHeldJob();
        ASSERT_GT(jobId, 0);
        hooks.push_back(std::make_unique<FakeHook>(static_cast<uint32_t>(jobId), HpglJob(1)));
        mController->HandleHookConnection(hooks.back()->TakeClientEnd());
    }
    ASSERT_TRUE(mUI.WaitForQuestions(kJobs, std::chrono::seconds(120)));
    EXPECT_LE(ConnectionsTo(mCupsd.Port()), 2u);
    auto start = std::chrono::steady_clock::now();
    TestSupport::ProgramResult listing = TestSupport::RunProgram({"lpstat", "-h", mCupsd.Address(), "-o", Queue});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(listing.status, 0);
    mController->Shutdown();
    for (const auto& hook : hooks) {
        ASSERT_TRUE(hook->WaitForClose());
        EXPECT_THAT(hook->FinalAnswers(), ElementsAre("RZ"));
    }
}

// With the server away a tracked job takes the disconnected path, which
// under the default settings cancels it with cancel reason 9.
TEST_F(PipelineTest, UnreachableServerTakesTheDisconnectedPath)
{
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Json(503, "false"));
    int jobId = SubmitHeldJob();
    JobRun run = RunJob(jobId);
    EXPECT_THAT(run.received, ElementsAre("RP", "RX"));
    EXPECT_THAT(RulesCalls(), IsEmpty());
    EXPECT_EQ(mServer.CountOf("POST", "printapi/printers"), 0u);
    std::vector<ScriptedUserInterface::Call> messages = mUI.CallsOf("message");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].reason, 9);
}

// A failure inside the pipeline still answers the hook exactly once and
// removes the payload; the job prints only once it is stored for the
// server, which has no record of it yet.
TEST_F(PipelineTest, FailureInsideThePipelineStillAnswersOnce)
{
    mUI.AnswerPopups({ScriptedUserInterface::PopupAnswer::Failing()});
    int jobId = SubmitHeldJob();
    WritePayload(jobId, "spool copy");
    JobRun run = RunJob(jobId);
    EXPECT_THAT(run.received, ElementsAre("RP", "RZ"));
    EXPECT_FALSE(PayloadExists(jobId));
    EXPECT_NE(LogText().find("failed: the pop-up failed"), std::string::npos);
    EXPECT_NE(LogText().find("prints as its handling failed; it is kept for the server"), std::string::npos);
    size_t stored = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mRoot.Folder(Platform::Folder::UserData)))
        stored += entry.path().filename().string().ends_with("." + std::to_string(jobId) + ".quit.job") ? 1 : 0;
    EXPECT_EQ(stored, 1u);
}
