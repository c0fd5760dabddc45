// The hand-over through Qt's event loop, with real alerts answered as a
// person answers them: each of several job threads gets its own answer, and
// cancelling at quit closes the alert that is up and answers every waiting
// call.
#include "Client/MainThreadHandOver.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/FrontWindow.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/Gui/WidgetPicture.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace {

using Kind = MainThreadHandOver::Kind;
using Platform::Alert;
constexpr int kCancelled = -2;
constexpr int kLimitMs = 60000;

// Shows an alert asking about one job and answers how it ended.
int AskAboutJob(int job)
{
    Alert alert;
    alert.addButton(QString::fromLatin1(Alert::OkButton));
    alert.addButton(QString::fromLatin1(Alert::CancelButton));
    alert.setMessageText(QStringLiteral("Job %1").arg(job));
    return alert.runModal();
}

// Runs the main thread's event loop until every answer is in.
template <typename Answer>
void ProcessEventsUntilReady(std::vector<std::future<Answer>>& answers)
{
    QElapsedTimer elapsed;
    elapsed.start();
    auto ready = [&] {
        for (auto& answer : answers)
            if (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                return false;
        return true;
    };
    while (!ready() && elapsed.elapsed() < kLimitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(ready());
}

// A window that waits for the user and that the user minimized comes back,
// restored: when the tray icon is activated (which brings the waiting
// windows to the front), and when another job thread asks a question.
TEST(HandOverTest, AMinimizedWaitingWindowComesBackForTheTrayAndForAnotherQuestion)
{
    for (bool fromTheTray : {true, false}) {
        SCOPED_TRACE(fromTheTray ? "tray" : "another question");
        MainThreadHandOver handOver;
        QDialog waiting;
        waiting.setModal(true);
        waiting.show();
        waiting.setWindowState(Qt::WindowMinimized);
        QApplication::processEvents();
        ASSERT_TRUE(waiting.windowState() & Qt::WindowMinimized);
        std::vector<std::future<bool>> question;
        if (fromTheTray)
            EXPECT_TRUE(Platform::BringWaitingWindowsToFront());
        else
            question.push_back(std::async(std::launch::async, [&] {
                return handOver.Call<bool>(Kind::Window, [] { return true; }, false);
            }));
        QElapsedTimer elapsed;
        elapsed.start();
        while ((waiting.windowState() & Qt::WindowMinimized) && elapsed.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_FALSE(waiting.windowState() & Qt::WindowMinimized);
        EXPECT_TRUE(waiting.isVisible());
        waiting.close();
        ProcessEventsUntilReady(question);
    }
}

TEST(HandOverTest, EachJobThreadGetsTheAnswerToItsOwnAlert)
{
    MainThreadHandOver handOver;
    constexpr int kJobs = 6;
    // Even jobs are allowed, odd ones cancelled, whatever order they come in.
    TestSupport::ModalAnswerer answerer(
        [](QWidget& window) {
            auto* box = qobject_cast<QMessageBox*>(&window);
            int job = box == nullptr ? 0 : box->text().mid(4).toInt();
            if (job == 1)
                TestSupport::SaveWidgetPicture(window, "handover-alert");
            return QString::fromLatin1(job % 2 == 0 ? Alert::OkButton : Alert::CancelButton);
        },
        kJobs);
    std::vector<std::future<int>> answers;
    for (int job = 0; job < kJobs; ++job)
        answers.push_back(std::async(std::launch::async, [&handOver, job] {
            return handOver.Call<int>(Kind::Window, [job] { return AskAboutJob(job); }, kCancelled);
        }));
    ProcessEventsUntilReady(answers);
    for (int job = 0; job < kJobs; ++job)
        EXPECT_EQ(answers[job].get(), job % 2 == 0 ? Alert::FirstButton : Alert::SecondButton) << "job " << job;
    EXPECT_EQ(answerer.Answered(), kJobs);
}

// At quit one alert is up and another question waits behind it: the alert
// closes (its caller gets the answer of a closed alert), the waiting one is
// answered as cancelled without a window, and a later question does not wait.
TEST(HandOverTest, CancellingAtQuitClosesTheAlertAndAnswersEveryWaitingCall)
{
    MainThreadHandOver handOver;
    std::vector<std::future<int>> answers;
    for (int job = 0; job < 2; ++job)
        answers.push_back(std::async(std::launch::async, [&handOver, job] {
            return handOver.Call<int>(Kind::Window, [job] { return AskAboutJob(job); }, kCancelled);
        }));
    // The quit arrives from the alert's own event loop, as a signal's does,
    // once the second question waits.
    QTimer quit;
    QObject::connect(&quit, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != nullptr && handOver.PendingCount() == 1) {
            quit.stop();
            handOver.Cancel();
        }
    });
    quit.start(10);
    ProcessEventsUntilReady(answers);
    std::vector<int> got{answers[0].get(), answers[1].get()};
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<int>{kCancelled, Alert::Closed}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    auto later = std::async(std::launch::async, [&handOver] {
        return handOver.Call<int>(Kind::Window, [] { return AskAboutJob(9); }, kCancelled);
    });
    EXPECT_EQ(later.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(later.get(), kCancelled);
}

// A job whose hook went has its own question cancelled: queued, it is
// answered at once; up, its alert closes. The other job's alert stays up.
TEST(HandOverTest, CancellingOneCallerClosesOnlyItsOwnAlert)
{
    MainThreadHandOver handOver;
    std::vector<std::promise<std::thread::id>> callers(2);
    std::vector<std::future<int>> answers;
    for (int job = 0; job < 2; ++job)
        answers.push_back(std::async(std::launch::async, [&handOver, &callers, job] {
            callers[job].set_value(std::this_thread::get_id());
            return handOver.Call<int>(Kind::Window, [job] { return AskAboutJob(job); }, kCancelled);
        }));
    std::vector<std::thread::id> ids{callers[0].get_future().get(), callers[1].get_future().get()};
    auto shown = [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box == nullptr ? -1 : box->text().mid(4).toInt();
    };
    int up = -1;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (up == -1 && shown() != -1 && handOver.PendingCount() == 1) {
            up = shown();
            handOver.CancelCallsOf(ids[1 - up]);  // the waiting one
        } else if (up != -1 && answers[1 - up].wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            look.stop();
            EXPECT_EQ(shown(), up);
            handOver.CancelCallsOf(ids[up]);
        }
    });
    look.start(10);
    ProcessEventsUntilReady(answers);
    ASSERT_NE(up, -1);
    EXPECT_EQ(answers[1 - up].get(), kCancelled);
    EXPECT_EQ(answers[up].get(), Alert::Closed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
