#include "Client/ApplicationController.h"

#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/UIMessage.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <array>

// The alerts the delegate shows for the core (a job's message, a secured
// job's result) and for the balance check, and the choice of the login
// window. Texts are keys of the default table; texts from the server are
// only ever arguments of a format.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;
using Platform::Alert;
using Platform::LocalizedStrings;

// The explanation of each cancellation reason, 0 to 15; null keeps the
// message's own text (no reason, or a reason whose text comes from the server).
constexpr std::array<const char*, 16> kCancellationReasonKeys = {
    nullptr,                                              // 0 none
    "Client_Cancellation_Reason_Application_Message",     // 1
    "Client_Cancellation_Reason_User_Message",            // 2
    "Client_Cancellation_Reason_Printer_Message",         // 3
    "Client_Cancellation_Reason_Require_Duplex_Message",  // 4
    "Client_Cancellation_Reason_Mono_Only_Message",       // 5
    "Client_Cancellation_Reason_Color_Only_Message",      // 6
    "Client_Cancellation_Reason_N_Up_Message",            // 7
    "Client_Cancellation_Reason_Zero_Balance",            // 8
    "Client_Cancellation_Reason_Disconnected_Message",    // 9
    "Client_Cancellation_Reason_Security_Message",        // 10
    "Client_Cancellation_Reason_Server_Error_Message",    // 11
    "Client_Cancellation_Reason_Cannot_Duplex_Message",   // 12
    nullptr,                                              // 13: the server's message
    "Client_Cancellation_Reason_Compatibility_Message",   // 14
    nullptr,                                              // 15: the server's message
};
constexpr const char* kUnknownReasonKey = "Client_Cancellation_Reason_Unknown_Error";

// The key of a reason's explanation; null for a reason that keeps the format.
const char* CancellationReasonKey(int32_t reason)
{
    auto index = static_cast<uint32_t>(reason);
    return index < kCancellationReasonKeys.size() ? kCancellationReasonKeys[index] : kUnknownReasonKey;
}

QString Text(const char* key)
{
    return LocalizedStrings::Text(QString::fromLatin1(key));
}

}  // namespace

// By the settings' authentication type: a PIN window (2, 3) or a network
// login (4, 5); any other type has no window and answers no.
bool ApplicationController::promptForAuthentication(CVClientData::User& user, CVClientData::WebDataService&,
                                                    CVClientData::ClientSettings& settings,
                                                    CVCoreDataServices::AuthenticatedOperationType operation)
{
    DebugScope scope(kComponent,
                     "-[ApplicationController promptForAuthentication:withWebDataService:andSettings:forOperation:]");
    setApplicationIcon();
    _appState = AppStateWindowUp;
    bool validated = false;
    switch (settings.AuthenticationType) {
    case 2:
    case 3:
        validated = promptForPINCode(user, settings, operation);
        break;
    case 4:
    case 5:
        validated = promptForNetworkLogin(user, settings, operation);
        break;
    default:
        break;
    }
    _appState = AppStateIdle;
    return validated;
}

// A message of the rules or of the job thread. Type 0 tells that the job is
// cancelled, 1 asks whether to go on (OK) or cancel, 2 informs; the reason
// of a cancelled job chooses the explanation. The job goes on when the type
// is not 0 and the user did not choose Cancel; an alert closed at quit
// answers as Cancel.
bool ApplicationController::displayJobMessage(UIMessage& message)
{
    DebugScope scope(kComponent, "-[ApplicationController displayJobMessage:]");
    setApplicationIcon();
    _appState = AppStateWindowUp;
    Alert alert;
    // The job waits for the answer: the alert stays above the user's other windows.
    alert.box().setWindowFlag(Qt::WindowStaysOnTopHint);
    alert.addButton(QString::fromLatin1(Alert::OkButton));

    QString title = QString::fromStdString(message.Title);
    QString informativeFormat = QStringLiteral("%1");
    switch (message.Type) {
    case 1:
        alert.addButton(QString::fromLatin1(Alert::CancelButton));
        informativeFormat = Text("Client_Job_Continue_Cancel_Message");
        [[fallthrough]];
    case 2:
        if (title.isEmpty())
            title = _productName;
        break;
    case 0:
        if (title.isEmpty())
            title = Text("Client_Job_Cancelled_Message");
        break;
    default:
        break;
    }
    if (const char* reasonKey = CancellationReasonKey(message.CancellationReason))
        informativeFormat = Text(reasonKey);
    Log::Debug("CVJobMessageType = %d", message.Type);
    Log::Debug("CVJobCancellationReason = %d", message.CancellationReason);

    alert.setMessageText(title);
    alert.setInformativeText(informativeFormat.arg(QString::fromStdString(message.Message)));
    Alert::Response response = alert.runModal();
    _appState = AppStateIdle;
    return message.Type != 0 && response != Alert::SecondButton && response != Alert::Closed;
}

// What became of a job sent for secure release: secured (the title holds
// "Job Secured"; the text names the document) or not.
void ApplicationController::displaySecureMessage(UIMessage& message)
{
    DebugScope scope(kComponent, "-[ApplicationController displaySecureMessage:]");
    Alert alert;
    alert.addButton(QString::fromLatin1(Alert::OkButton));
    _appState = AppStateWindowUp;
    Log::Debug("compare: [%s] [%s]", message.Title, "Job Secured");
    if (message.Title.find("Job Secured") != std::string::npos) {
        alert.setMessageText(Text("Client_Job_Secure_Job_Secure"));
        alert.setInformativeText(LocalizedStrings::Format(QStringLiteral("Client_Job_Secure_Successful"),
                                                          QString::fromStdString(message.Message)));
    } else {
        alert.setMessageText(Text("Client_Job_Secure_Failed_Secure"));
        alert.setInformativeText(Text("Client_Job_Failed_Secure_Message"));
    }
    alert.runModal();
    _appState = AppStateIdle;
}

void ApplicationController::mShowNotUsingBalancesAlert()
{
    Log::Info("Using balances set to no, displaying message.");
    _appState = AppStateWindowUp;
    Alert alert;
    alert.addButton(QString::fromLatin1(Alert::OkButton));
    alert.setMessageText(LocalizedStrings::Format(QStringLiteral("Client_Error_Not_Using_Balances"), _productName));
    alert.setInformativeText(QString());
    alert.runModal();
    _appState = AppStateIdle;
    Log::Info("ApplicationController::dockMenuShowBalance - not using balances.");
}
