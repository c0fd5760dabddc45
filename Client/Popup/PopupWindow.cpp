#include "Client/Popup/PopupWindow.h"

#include "Client/Popup/ElidingLabel.h"
#include "Client/Popup/ManualBatchWindowController.h"
#include "Client/Popup/PendingJobGrid.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/PendingJobList.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>

#include <ctime>

// The window's life, its modal run and the pending-jobs grid's data source.
// Building is in PopupWindowLayout.cpp, filling and costs in
// PopupWindowFilling.cpp, the buttons' actions in PopupWindowSaving.cpp.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;

// The records a window may lack: an empty user and default settings.
const CVClientData::User& NoUser()
{
    static const CVClientData::User user;
    return user;
}

const CVClientData::ClientSettings& DefaultSettings()
{
    static const CVClientData::ClientSettings settings;
    return settings;
}

// A job's print date, which the record keeps in UTC; invalid when unset.
QDateTime UtcDateTime(const std::tm& date)
{
    return QDateTime(QDate(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday),
                     QTime(date.tm_hour, date.tm_min, date.tm_sec), Qt::UTC);
}

}  // namespace

PopupWindow::PopupWindow()
{
    setObjectName(QStringLiteral("PopupWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The job holds its queue until the user answers: the window stays above
    // the user's other windows.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    initPopupObjects();
}

// The controls go before the fields they edit.
PopupWindow::~PopupWindow()
{
    customFieldControls.clear();
    delete mContentView;
}

void PopupWindow::initPopupObjects()
{
    DebugScope scope(kComponent, "-[PopupWindow initPopupObjects]");
    mFormats = PopupFormats();
    cacheDirectory.clear();
    mbWindowController.reset();
    customFieldControls.clear();
    _printJob = nullptr;
    pendingJobs = nullptr;
    pendingClientJobsInGrid.clear();
}

void PopupWindow::releasePopupObjects()
{
    DebugScope scope(kComponent, "-[PopupWindow releasePopupObjects]");
    pendingClientJobsInGrid.clear();
    mFormats = PopupFormats();
    cacheDirectory.clear();
    mbWindowController.reset();
}

bool PopupWindow::showForJob(ClientJob* job, CVClientData::WebDataService* webDataService,
                             const CVClientData::ClientSettings* settings, const ClientLogo* logo)
{
    DebugScope scope(kComponent, "-[PopupWindow showForJob:withDataService:settings:logo:]");
    _printJob = job;
    _webDataService = webDataService;
    _clientSettings = settings;
    _logo = logo;
    setDecimalFormat();
    createWindow();
    populateWindowFromJob();

    Log::Debug("PopupWindow::showForJob - init completed.  About to display popup window.");
    // Brought to the front once its modal run has shown it.
    QMetaObject::invokeMethod(this, [this] { activateWindow(); }, Qt::QueuedConnection);
    int code = exec();
    Log::Debug("PopupWindow::showForJob - popup window no longer modal.  Closing.");
    return code == 1;
}

bool PopupWindow::showForPendingJobs(CVClientData::PendingJobList* jobs, CVClientData::WebDataService* webDataService,
                                     const CVClientData::ClientSettings* settings, const ClientLogo* logo)
{
    DebugScope scope(kComponent, "-[PopupWindow showForPendingJobs:withDataService:settings:logo:]");
    pendingJobs = jobs;
    pendingClientJobsInGrid.clear();
    if (jobs == nullptr || jobs->empty())
        return false;
    for (const auto& job : *jobs)
        pendingClientJobsInGrid.push_back(job.get());
    return showForJob(pendingClientJobsInGrid.front(), webDataService, settings, logo);
}

bool PopupWindow::getBatchStatus() const
{
    DebugScope scope(kComponent, "-[PopupWindow getBatchStatus]");
    return mbWindowController != nullptr && mbWindowController->getBatchState()
           && mbWindowController->batchSize() > 1;
}

// Ends the modal run with the answer it has (none yet counts as a cancel).
void PopupWindow::close()
{
    DebugScope scope(kComponent, "-[PopupWindow close]");
    if (isVisible())
        done(result());
    QDialog::close();
}

const CVClientData::User& PopupWindow::mUser() const
{
    return _printJob != nullptr ? static_cast<const ClientJob*>(_printJob)->GetUser() : NoUser();
}

const CVClientData::ClientSettings& PopupWindow::mSettings() const
{
    return _clientSettings != nullptr ? *_clientSettings : DefaultSettings();
}

// --- The pending-jobs grid's data source ---

int PopupWindow::numberOfRowsInTableView() const
{
    DebugScope scope(kComponent, "-[PopupWindow numberOfRowsInTableView:]");
    return mPendingJobCount();
}

// The tick box is ticked for a job that is no longer held back.
QVariant PopupWindow::objectValueForTableColumn(const QString& identifier, int row) const
{
    DebugScope scope(kComponent, "-[PopupWindow tableView:objectValueForTableColumn:row:]");
    if (row < 0 || row >= mPendingJobCount())
        return QString();
    const ClientJob& job = *pendingClientJobsInGrid[static_cast<size_t>(row)];
    if (identifier == QLatin1String(SelectedColumn))
        return !job.Options.DelayedJob;
    if (identifier == QLatin1String(DocumentColumn))
        return QString::fromStdString(job.DocumentName);
    if (identifier == QLatin1String(PrinterColumn))
        return QString::fromStdString(job.GetPrinter().Name);
    if (identifier == QLatin1String(DatePrintedColumn)) {
        QDateTime printed = UtcDateTime(job.DatePrinted);
        return printed.isValid() ? mFormats.dateTime(printed) : QString();
    }
    return QString();
}

void PopupWindow::setObjectValue(const QVariant& value, const QString& identifier, int row)
{
    DebugScope scope(kComponent, "-[PopupWindow tableView:setObjectValue:forTableColumn:row:]");
    if (row < 0 || row >= mPendingJobCount() || identifier != QLatin1String(SelectedColumn))
        return;
    pendingClientJobsInGrid[static_cast<size_t>(row)]->Options.DelayedJob = !value.toBool();
}

// --- Cost inputs ---

QString PopupWindow::CostInput::text() const
{
    if (box != nullptr)
        return box->text();
    return label != nullptr ? label->text() : QString();
}

void PopupWindow::CostInput::setText(const QString& text) const
{
    if (box != nullptr)
        box->setText(text);
    else if (label != nullptr)
        label->setText(text);
}
