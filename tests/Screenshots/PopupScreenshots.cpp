// The job pop-up as users see it: a typical job with its custom fields,
// costs, balance and comment, and the pending-jobs grid.
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Screenshots/Screenshots.h"

#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/PendingJobList.h"

#include <QMetaObject>

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace {

// The window built and filled by its show operation, whose modal run ends
// at once; the records it shows live as long as the program.
std::unique_ptr<QWidget> Filled(const std::function<void(PopupWindow&)>& show)
{
    auto popup = std::make_unique<PopupWindow>();
    QMetaObject::invokeMethod(popup.get(), [window = popup.get()] { window->reject(); }, Qt::QueuedConnection);
    show(*popup);
    return popup;
}

const CVClientData::ClientSettings& Settings()
{
    static const CVClientData::ClientSettings settings = PopupTest::TypicalSettings();
    return settings;
}

// The job asks for an account, a project of that account and a cost
// centre; the user has chosen all three and may add codes.
const Screenshots::Registration kJob("popup-job", [] {
    using PopupTest::Field;
    using PopupTest::Value;
    static PopupTest::FieldServer server;
    static ClientJob job = [] {
        ClientJob typical = PopupTest::TypicalJob();
        typical.GetUser().AllowSnooze = true;
        typical.GetUser().UserCanAddCodes = true;
        server.Define(typical, Field(1, "Account", 0),
                      {Value(1, 101, "A100", "Front office"), Value(1, 102, "A101", "Finance")});
        server.Define(typical, Field(2, "Project", 0, 1),
                      {Value(2, 201, "P200", "Annual report"), Value(2, 202, "P201", "Board pack")});
        server.Define(typical, Field(3, "Cost centre", 1),
                      {Value(3, 301, "CC10", "Sales"), Value(3, 302, "CC20", "Administration")});
        return typical;
    }();
    std::unique_ptr<QWidget> popup =
        Filled([](PopupWindow& window) { window.showForJob(&job, &server, &Settings(), nullptr); });
    for (const auto& [name, value] : {std::pair{"Account", Value(1, 102, "A101", "Finance")},
                                      std::pair{"Project", Value(2, 202, "P201", "Board pack")},
                                      std::pair{"Cost centre", Value(3, 302, "CC20", "Administration")}})
        if (CustomFieldControl* control = PopupTest::ControlOf(*popup, name))
            control->setSelectedValue(&value);
    return popup;
});

// Names too long for the window, cut with an ellipsis, and a balance of
// both kinds of pages on two lines.
const Screenshots::Registration kLongTexts("popup-long-texts", [] {
    static ClientJob job = [] {
        ClientJob typical = PopupTest::TypicalJob();
        typical.DocumentName = "Minutes of the quarterly budget review with the finance committee and the board, "
                               "final version with all appendices.pdf";
        typical.GetPrinter().Name = "Second floor colour laser printer by the east stairs (room 2.14)";
        typical.GetUser().DisplayName = "Alexandra Montgomery-Fitzwilliam";
        typical.GetUser().Type = CVClientData::User::BothPageBalances;
        typical.GetUser().BWBalanceRemaining = 1250;
        typical.GetUser().ColorBalanceRemaining = 75;
        return typical;
    }();
    static PopupTest::FieldServer server;
    return Filled([](PopupWindow& window) { window.showForJob(&job, &server, &Settings(), nullptr); });
});

// A value picked from a list whose description runs to 300 characters: its
// code shows, the rest is cut with "…" and whole in the tooltip.
const Screenshots::Registration kLongPickedValue("popup-long-picked-value", [] {
    using PopupTest::Field;
    using PopupTest::Value;
    static const std::string description = [] {
        std::string text = "Refurbishment of the north wing, phase 2:";
        while (text.size() < 300)
            text += " floors, lighting, heating and furniture;";
        return text.substr(0, 300);
    }();
    static PopupTest::FieldServer server;
    static ClientJob job = [] {
        ClientJob typical = PopupTest::TypicalJob();
        server.Define(typical, Field(1, "Project", 0),
                      {Value(1, 101, "P-3001", "Office move"), Value(1, 102, "P-3002", description.c_str())});
        return typical;
    }();
    std::unique_ptr<QWidget> popup =
        Filled([](PopupWindow& window) { window.showForJob(&job, &server, &Settings(), nullptr); });
    static const CVClientData::CustomFieldValue chosen = Value(1, 102, "P-3002", description.c_str());
    if (CustomFieldControl* control = PopupTest::ControlOf(*popup, "Project"))
        control->setSelectedValue(&chosen);
    return popup;
});

const Screenshots::Registration kPending("popup-pending", [] {
    static CVClientData::PendingJobList jobs;
    const char* documents[] = {"Quarterly report.pdf", "Invoice 2024-113.pdf", "Site plan.png"};
    const char* printers[] = {"Front Desk", "Front Desk", "Plotter 2"};
    for (int i = 0; i < 3; ++i) {
        ClientJob job = PopupTest::TypicalJob();
        job.DocumentName = documents[i];
        job.GetPrinter().Name = printers[i];
        job.DatePrinted.tm_mday = 11 + i;
        job.Options.DelayedJob = i != 0;
        jobs.Add(job);
    }
    return Filled([](PopupWindow& popup) { popup.showForPendingJobs(&jobs, nullptr, &Settings(), nullptr); });
});

}  // namespace
