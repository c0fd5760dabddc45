// The job pop-up as users see it: a typical job with its costs, balance and
// comment, and the pending-jobs grid.
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Screenshots/Screenshots.h"

#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/PendingJobList.h"

#include <QMetaObject>

#include <functional>
#include <memory>
#include <string>

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

const Screenshots::Registration kJob("popup-job", [] {
    static ClientJob job = [] {
        ClientJob typical = PopupTest::TypicalJob();
        typical.GetUser().AllowSnooze = true;
        return typical;
    }();
    return Filled([](PopupWindow& popup) { popup.showForJob(&job, nullptr, &Settings(), nullptr); });
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
