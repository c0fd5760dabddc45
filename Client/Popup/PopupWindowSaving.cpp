#include "Client/Popup/ManualBatchWindowController.h"
#include "Client/Popup/PendingJobGrid.h"
#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/JobCalculations.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

// The buttons: Print (Save in pending mode) with the saving and validation
// of what the user entered, Cancel, Snooze and the manual batch.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;
using Log = ComponentLog<kComponent>;

using Platform::LocalizedStrings;

QString Text(const char* key)
{
    return LocalizedStrings::Text(QString::fromLatin1(key));
}

}  // namespace

// Ends the editing of the cost boxes first: a refused text keeps the window
// as it is. In pending mode the saved jobs leave the grid and the window
// goes on with the first job left, until none is left.
void PopupWindow::allowPrintJob()
{
    DebugScope scope(kComponent, "-[PopupWindow allowPrintJob:]");
    if (!mEndCostEditing() || !savePopupWindowValuesToJobAndValidate())
        return;
    if (!isPendingMode()) {
        Log::Debug("PopupWindow::allowPrintJob - single job mode, job is valid.  Telling window to close (OK).");
        done(1);
        return;
    }
    std::erase_if(pendingClientJobsInGrid, [](const ClientJob* job) { return !job->Options.DelayedJob; });
    if (!pendingClientJobsInGrid.empty()) {
        Log::Debug("PopupWindow::allowPrintJob - still some pending jobs - window staying open.");
        if (mGridModel != nullptr)
            mGridModel->reloadData();
        _printJob = pendingClientJobsInGrid.front();
        populateWindowFromJob();
        return;
    }
    Log::Debug("PopupWindow::allowPrintJob - last pending job saved.  Telling window to close (OK).");
    pendingClientJobsInGrid.clear();
    done(1);
}

void PopupWindow::cancelPrintJob()
{
    DebugScope scope(kComponent, "-[PopupWindow cancelPrintJob:]");
    done(0);
}

// The job is held back for later; what the user entered is not saved.
void PopupWindow::snoozePrintJob()
{
    DebugScope scope(kComponent, "-[PopupWindow snoozePrintJob:]");
    if (_printJob == nullptr)
        return;
    _printJob->Options.DelayedJob = true;
    done(1);
}

// A new batch sheet for the job's user, offering a batch of 1.
void PopupWindow::setManualBatch()
{
    DebugScope scope(kComponent, "-[PopupWindow setManualBatch:]");
    mbWindowController = std::make_unique<ManualBatchWindowController>();
    mbWindowController->setBatchSize(1);
    mbWindowController->showManualBatchSheet(this, _printJob != nullptr ? &_printJob->GetUser() : nullptr);
}

// Checks what the user entered and writes it into the job, in this order:
// the job to save (pending mode), a value for every custom field, the cost
// overrides, the balance, the custom fields' budgets; then the comment, the
// remembered values and, in pending mode, the other ticked jobs. Every
// refusal is a sheet, and the window stays.
bool PopupWindow::savePopupWindowValuesToJobAndValidate()
{
    DebugScope scope(kComponent, "-[PopupWindow savePopupWindowValuesToJobAndValidate]");
    if ((mShowsGrid() && !mSelectFirstTickedJob()) || _printJob == nullptr) {
        mShowSheet(Text("Client_Popup_Pending_Job_Error_None_Selected"),
                   Text("Client_Popup_Pending_Job_Error_Non_Selected_Insructions_Message"));
        return false;
    }
    if (!mStoreCustomFieldValues())
        return false;
    if (mUser().AllowCostOverride) {
        for (QLineEdit* box : {bwUnitCost.box, colorUnitCost.box, addedCosts.box}) {
            std::optional<double> value = box != nullptr ? mFormats.costBoxValue(box->text()) : std::nullopt;
            if (value && *mStateOf(box).overridden)
                mWriteCostOverride(box, *value);
        }
    }
    CVClientData::JobCalculations calculations;
    _printJob->UpdateCalcs(calculations);
    if (mUser().JobExceedsBalance(calculations)) {
        mShowSheet(Text("Client_Popup_Error_Job_Exceeds_Balance_Message"),
                   Text("Client_Popup_Error_Job_Exceeds_Balance_Instructions_Message"));
        return false;
    }
    if (!mCustomFieldsWithinBudget(calculations.TotalCost))
        return false;

    if (mUser().ShowComments && comments != nullptr)
        _printJob->Comments = comments->toPlainText().toStdString();
    for (auto it = customFieldControls.rbegin(); it != customFieldControls.rend(); ++it)
        (*it)->jobWillBeSaved();
    if (isPendingMode() && mPendingJobCount() == 1)
        _printJob->Options.DelayedJob = false;
    else if (isPendingMode())
        mCopyValuesToTickedJobs();
    return true;
}

// The first ticked job of the grid becomes the one the window saves.
bool PopupWindow::mSelectFirstTickedJob()
{
    auto ticked = std::find_if(pendingClientJobsInGrid.begin(), pendingClientJobsInGrid.end(),
                               [](const ClientJob* job) { return !job->Options.DelayedJob; });
    if (ticked == pendingClientJobsInGrid.end())
        return false;
    _printJob = *ticked;
    return true;
}

// From the top row down, each control's value (chosen, or found from what
// was typed) goes into the job; the first control without one is refused.
bool PopupWindow::mStoreCustomFieldValues()
{
    for (auto it = customFieldControls.rbegin(); it != customFieldControls.rend(); ++it) {
        FieldControl& control = **it;
        std::optional<CVClientData::CustomFieldValue> value = control.selectedCustomFieldValue();
        if (!value)
            value = control.searchForUserEnteredValue();
        if (!value) {
            const QString name = QString::fromStdString(control.fieldName());
            mShowSheet(LocalizedStrings::Format(QStringLiteral("Client_Popup_Custom_Field_Error_None_Selected_Message"),
                                                name),
                       LocalizedStrings::Format(
                           QStringLiteral("Client_Popup_Custom_Feild_Error_No_Value_Selected_Message"), name));
            return false;
        }
        _printJob->SetCustomFieldValue(*value);
    }
    return true;
}

// Every chosen value with a budget smaller than the job's cost raises its
// own sheet; a budget equal to the cost pays for it.
bool PopupWindow::mCustomFieldsWithinBudget(double totalCost)
{
    bool within = true;
    for (auto it = customFieldControls.rbegin(); it != customFieldControls.rend(); ++it) {
        FieldControl& control = **it;
        std::optional<CVClientData::CustomFieldValue> value = control.selectedCustomFieldValue();
        if (!value || !value->UseBudget || !(value->BudgetRemaining < totalCost))
            continue;
        const QString name = QString::fromStdString(control.fieldName());
        mShowSheet(
            LocalizedStrings::Format(QStringLiteral("Client_Popup_Custom_Field_Value_Error_Over_Budget_Message"), name),
            LocalizedStrings::Format(
                QStringLiteral("Client_Popup_Custom_Field_Value_Error_Over_Budget_Instructions_Message"), name));
        within = false;
    }
    return within;
}

// The other ticked jobs take what was entered for the saved one: its custom
// fields and values, cost overrides and comment.
void PopupWindow::mCopyValuesToTickedJobs()
{
    for (ClientJob* job : pendingClientJobsInGrid) {
        if (job == _printJob || job->Options.DelayedJob)
            continue;
        job->Options.CustomField = _printJob->Options.CustomField;
        job->CopyUserEnterableMembersFrom(*_printJob);
    }
}

void PopupWindow::mShowSheet(const QString& message, const QString& informative)
{
    Platform::Alert sheet(this);
    sheet.addButton(QString::fromLatin1(Platform::Alert::OkButton));
    sheet.setMessageText(message);
    sheet.setInformativeText(informative);
    sheet.runModal();
}
