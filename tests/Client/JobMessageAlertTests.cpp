// The alerts of a job's message and of a secured job, as the user sees and
// answers them: buttons, texts chosen by type and cancellation reason, and
// the answer that goes back to the job.
#include "Client/ApplicationController.h"
#include "Core/CVModels/UIMessage.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"
#include "tests/Support/Gui/ModalAnswerer.h"
#include "tests/Support/Gui/WidgetPicture.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Platform::Alert;
using Platform::LocalizedStrings;

// What an alert showed.
struct Shown {
    QString text;
    QString informative;
    std::vector<std::string> buttons;  // object names (the button keys), in order
    int32_t appState = -1;
};

// Answers the next alert with the button and notes what it showed.
class AlertAnswer {
public:
    AlertAnswer(const ApplicationController& controller, const char* button, std::string picture = "")
        : mAnswerer([this, &controller, button, picture](QWidget& window) {
              auto* box = qobject_cast<QMessageBox*>(&window);
              if (box != nullptr) {
                  shown.text = box->text();
                  shown.informative = box->informativeText();
                  for (QAbstractButton* each : box->buttons())
                      shown.buttons.push_back(each->objectName().toStdString());
              }
              shown.appState = controller.appState();
              if (!picture.empty())
                  TestSupport::SaveWidgetPicture(window, picture);
              return QString::fromLatin1(button);
          })
    {
    }
    Shown shown;

private:
    TestSupport::ModalAnswerer mAnswerer;
};

QString Reason(const char* key, const std::string& message)
{
    return LocalizedStrings::Format(QString::fromLatin1(key), QString::fromStdString(message));
}

struct JobMessageCase {
    const char* name;
    int32_t type;
    int32_t reason;
    std::string title;
    std::string message;
    const char* press;
    QString expectedText;
    QString expectedInformative;
    std::vector<std::string> expectedButtons;
    bool expectedAnswer;
};

const std::vector<std::string> kOk{Alert::OkButton};
const std::vector<std::string> kOkCancel{Alert::OkButton, Alert::CancelButton};

std::vector<JobMessageCase> JobMessageCases()
{
    const QString product = QStringLiteral("Quorvel Client");
    const std::string cost = "This job costs 1.20.";
    return {
        {"cancelled-disconnected", 0, 9, "", "", Alert::OkButton, LocalizedStrings::Text("Client_Job_Cancelled_Message"),
         Reason("Client_Cancellation_Reason_Disconnected_Message", ""), kOk, false},
        {"cancelled-by-rules", 0, 0, "Job refused", "Colour is not allowed here.", Alert::OkButton, "Job refused",
         "Colour is not allowed here.", kOk, false},
        {"continue-ok", 1, 0, "Confirm", cost, Alert::OkButton, "Confirm",
         Reason("Client_Job_Continue_Cancel_Message", cost), kOkCancel, true},
        {"continue-cancel", 1, 0, "Confirm", cost, Alert::CancelButton, "Confirm",
         Reason("Client_Job_Continue_Cancel_Message", cost), kOkCancel, false},
        {"continue-zero-balance", 1, 8, "", cost, Alert::OkButton, product,
         Reason("Client_Cancellation_Reason_Zero_Balance", cost), kOkCancel, true},
        {"information", 2, 0, "", "Printed in mono to save toner.", Alert::OkButton, product,
         "Printed in mono to save toner.", kOk, true},
        {"information-reason-16", 2, 16, "Note", "x", Alert::OkButton, "Note",
         Reason("Client_Cancellation_Reason_Unknown_Error", "x"), kOk, true},
        {"information-reason-negative", 2, -1, "Note", "x", Alert::OkButton, "Note",
         Reason("Client_Cancellation_Reason_Unknown_Error", "x"), kOk, true},
        // A server's text is shown as it is, never read as a format or markup.
        {"server-text-verbatim", 2, 0, "<b>50%</b>", "%1 %s %n <i>x</i>", Alert::OkButton, "<b>50%</b>",
         "%1 %s %n <i>x</i>", kOk, true},
        {"other-type", 7, 0, "Odd", "y", Alert::OkButton, "Odd", "y", kOk, true},
    };
}

class JobMessageAlertTest : public testing::Test {
protected:
    ApplicationController mController{"/nonexistent", {}};
};

TEST_F(JobMessageAlertTest, ButtonsTextsAndAnswersByTypeAndReason)
{
    for (const JobMessageCase& each : JobMessageCases()) {
        UIMessage message;
        message.Type = each.type;
        message.CancellationReason = each.reason;
        message.Title = each.title;
        message.Message = each.message;
        AlertAnswer answer(mController, each.press, std::string("alert-job-message-") + each.name);
        bool goOn = mController.displayJobMessage(message);
        EXPECT_EQ(goOn, each.expectedAnswer) << each.name;
        EXPECT_EQ(answer.shown.text, each.expectedText) << each.name;
        EXPECT_EQ(answer.shown.informative, each.expectedInformative) << each.name;
        EXPECT_EQ(answer.shown.buttons, each.expectedButtons) << each.name;
        EXPECT_EQ(answer.shown.appState, ApplicationController::AppStateWindowUp) << each.name;
        EXPECT_EQ(mController.appState(), ApplicationController::AppStateIdle) << each.name;
    }
}

TEST_F(JobMessageAlertTest, TheSecureMessageTellsWhetherTheJobWasSecured)
{
    UIMessage secured;
    secured.Title = "Job Secured";
    secured.Message = "Quarterly report.pdf";
    AlertAnswer success(mController, Alert::OkButton, "alert-secure-success");
    mController.displaySecureMessage(secured);
    EXPECT_EQ(success.shown.text, LocalizedStrings::Text("Client_Job_Secure_Job_Secure"));
    EXPECT_EQ(success.shown.informative, Reason("Client_Job_Secure_Successful", "Quarterly report.pdf"));
    EXPECT_EQ(success.shown.buttons, kOk);

    UIMessage failed;
    failed.Title = "Failed to Secure";
    AlertAnswer failure(mController, Alert::OkButton, "alert-secure-failure");
    mController.displaySecureMessage(failed);
    EXPECT_EQ(failure.shown.text, LocalizedStrings::Text("Client_Job_Secure_Failed_Secure"));
    EXPECT_EQ(failure.shown.informative, LocalizedStrings::Text("Client_Job_Failed_Secure_Message"));
    EXPECT_EQ(mController.appState(), ApplicationController::AppStateIdle);
}

}  // namespace
