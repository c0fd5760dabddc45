#include "Client/BalanceRemainingText.h"
#include "Client/Popup/ElidingLabel.h"
#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/JobCalculations.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

// Filling the window from the job, the costs it shows and the user's edits
// of them.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;

using Platform::LocalizedStrings;

QString Text(const char* key)
{
    return LocalizedStrings::Text(QString::fromLatin1(key));
}

// The text of the billable units by the job's pricing unit; pages when
// priced per page or by paper size.
QString UnitsText(int32_t priceOption, double units, const PopupFormats& formats)
{
    switch (priceOption) {
    case 1:
        return Text("Client_Popup_Label_Square_Foot").arg(formats.number(units));
    case 2:
        return Text("Client_Popup_Label_Square_Meter").arg(formats.number(units));
    case 4:
        return Text("Client_Popup_Label_Square_Inches").arg(formats.number(units));
    case 5:
        return Text("Client_Popup_Label_Linear_Feet").arg(formats.number(units));
    default:
        return Text("Client_Popup_Label_Pages_Total").arg(formats.count(units));
    }
}

// What the user has left, by the kind of balance; money also for a kind
// this client does not know.
QString BalanceText(const CVClientData::User& owner, const PopupFormats& formats)
{
    const BalanceNumberFormats numbers{[&formats](double money) { return formats.currency(money); },
                                       [&formats](double pages) { return formats.count(pages); }};
    return BalanceRemainingText(owner, numbers).value_or(formats.currency(owner.BWBalanceRemaining));
}

}  // namespace

// Runs after building and again for every further pending job.
void PopupWindow::populateWindowFromJob()
{
    DebugScope scope(kComponent, "-[PopupWindow populateWindowFromJob]");
    if (_printJob == nullptr)
        return;
    const ClientJob& job = *_printJob;
    CVClientData::JobCalculations calculations;
    job.UpdateCalcs(calculations);

    const QLocale locale;
    if (pageCounts != nullptr)
        pageCounts->setText(LocalizedStrings::Format(QStringLiteral("Client_Popup_Label_Pages_BW_And_Color"),
                                                     locale.toString(calculations.PhysicalBWPages),
                                                     locale.toString(calculations.PhysicalColorPages)));
    if (totalUnits != nullptr)
        totalUnits->setText(UnitsText(job.Costing.PriceOption, calculations.TotalUnits, mFormats));

    const CVClientData::User& owner = job.GetUser();
    user->setText(QString::fromStdString(owner.DisplayName));
    if (userBalance != nullptr)
        userBalance->setText(BalanceText(owner, mFormats));
    if (owner.ShowCosts)
        updateJobCosts();
    if (printer != nullptr)
        printer->setText(QString::fromStdString(job.GetPrinter().Name));
    if (document != nullptr)
        document->setText(QString::fromStdString(job.DocumentName));
    if (owner.UseLastEntries)
        mRestoreLastEntries();
    if (comments != nullptr)
        comments->setPlainText(QString::fromStdString(job.Comments));
}

// From the top row down (so that a parent's value is there before its
// child's): the field's own value when it has one, else what the user chose
// last for the field.
void PopupWindow::mRestoreLastEntries()
{
    for (auto it = customFieldControls.rbegin(); it != customFieldControls.rend(); ++it) {
        FieldControl& control = **it;
        const CVClientData::CustomFieldValue& own = control.customField().OwnValue;
        if (own.ValueId != 0 || !own.Code.empty()) {
            control.setSelectedValue(&own);
            continue;
        }
        control.setSelectedValue(nullptr);
        control.useLastEntry();
    }
}

// Editable boxes show the costs in effect (the user's overrides included);
// labels show the costs before overrides. The job's cost is worked out from
// the costs in effect, so that it follows what the user typed in a box.
void PopupWindow::updateJobCosts()
{
    DebugScope scope(kComponent, "-[PopupWindow updateJobCosts]");
    if (_printJob == nullptr)
        return;
    CVClientData::JobCalculations calculations;
    _printJob->UpdateCalcs(calculations);
    if (mUser().AllowCostOverride) {
        addedCosts.setText(mFormats.costBoxText(calculations.FinalAddedCost));
        bwUnitCost.setText(mFormats.costBoxText(calculations.FinalBWUnitCost));
        colorUnitCost.setText(mFormats.costBoxText(calculations.FinalColorUnitCost));
    } else {
        addedCosts.setText(mFormats.currency(calculations.AddedCost));
        bwUnitCost.setText(mFormats.currency(calculations.BWUnitCost));
        colorUnitCost.setText(mFormats.currency(calculations.ColorUnitCost));
    }
    if (totalCost != nullptr)
        totalCost->setText(mFormats.currency(calculations.BWUnits * calculations.FinalBWUnitCost +
                                             calculations.ColorUnits * calculations.FinalColorUnitCost +
                                             calculations.FinalAddedCost));
    bwUnitCostOverridden = colorUnitCostOverridden = addedCostsOverridden = false;
    origAddedCosts = addedCosts.text();
    origBWUnitCost = bwUnitCost.text();
    origColorUnitCost = colorUnitCost.text();
}

// A box whose text now differs from the last refresh overrides its cost in
// the job, and the job's cost shown follows at once.
void PopupWindow::controlTextDidEndEditing(QLineEdit* box)
{
    DebugScope scope(kComponent, "-[PopupWindow controlTextDidEndEditing:]");
    CostBoxState state = mStateOf(box);
    std::optional<double> value = mFormats.costBoxValue(box->text());
    if (state.overridden == nullptr || !value)
        return;
    box->setModified(false);
    *state.overridden = box->text() != *state.original;
    if (!*state.overridden)
        return;
    mWriteCostOverride(box, *value);
    updateJobCosts();
}

// One flag overrides both unit costs, so the first unit cost the user
// overrides gives the other one the cost it shows: overriding one never
// sets the other to zero.
void PopupWindow::mWriteCostOverride(QLineEdit* box, double value)
{
    if (_printJob == nullptr)
        return;
    CVClientData::JobCosting& costing = _printJob->Costing;
    if (box == addedCosts.box) {
        costing.OverriddenAddedCosts = value;
        costing.OverrodeAddedCosts = true;
        return;
    }
    if (!costing.OverrodeCostPerUnit) {
        CVClientData::JobCalculations calculations;
        _printJob->UpdateCalcs(calculations);
        costing.OverriddenBWUnitCost =
            mFormats.costBoxValue(bwUnitCost.text()).value_or(calculations.FinalBWUnitCost);
        costing.OverriddenColorUnitCost =
            mFormats.costBoxValue(colorUnitCost.text()).value_or(calculations.FinalColorUnitCost);
    }
    if (box == bwUnitCost.box)
        costing.OverriddenBWUnitCost = value;
    else
        costing.OverriddenColorUnitCost = value;
    costing.OverrodeCostPerUnit = true;
}

// The box's text is not a cost: the sheet says which box, and the user goes
// on editing it.
bool PopupWindow::controlDidFailToFormatString(QLineEdit* box)
{
    DebugScope scope(kComponent, "-[PopupWindow control:didFailToFormatString:errorDescription:]");
    const char* message = box == addedCosts.box ? "Client_Popup_Added_Cost_Error_Invalid_Value_Message"
                          : box == bwUnitCost.box ? "Client_Popup_BW_Unit_Cost_Error_Invalid_Value_Message"
                                                  : "Client_Popup_Color_Unit_Cost_Error_Invalid_Value_Message";
    mShowSheet(Text(message), Platform::LocalizedStrings::Format(
                                  QStringLiteral("Client_Popup_Added_Cost_Error_Invalid_Value_Instructions_Message"),
                                  mFormats.costBoxExample()));
    box->setFocus();
    box->selectAll();
    return false;
}

// Ends the editing of every cost box that holds an edit: a text the
// formatter refuses raises its sheet and ends nothing.
bool PopupWindow::mEndCostEditing()
{
    for (QLineEdit* box : {bwUnitCost.box, colorUnitCost.box, addedCosts.box}) {
        if (box == nullptr || !box->isModified())
            continue;
        if (!mFormats.costBoxValue(box->text()))
            return controlDidFailToFormatString(box);
        controlTextDidEndEditing(box);
    }
    return true;
}

// A custom field's value changed: with costs shown, the job takes it at once
// (its cost modifier may change the costs).
void PopupWindow::customFieldControlSelectionChanged(FieldControl& control)
{
    DebugScope scope(kComponent, "-[PopupWindow customFieldControlSelectionChanged:]");
    if (_printJob == nullptr || !mUser().ShowCosts)
        return;
    if (std::optional<CVClientData::CustomFieldValue> value = control.selectedCustomFieldValue())
        _printJob->SetCustomFieldValue(*value);
    else
        _printJob->ClearCustomFieldValue(control.fieldId());
    updateJobCosts();
}

// The text a cost box showed at the last refresh and whether it now
// overrides its cost; none for a control that is not a cost box.
PopupWindow::CostBoxState PopupWindow::mStateOf(QLineEdit* box)
{
    if (box != nullptr && box == bwUnitCost.box)
        return {&origBWUnitCost, &bwUnitCostOverridden};
    if (box != nullptr && box == colorUnitCost.box)
        return {&origColorUnitCost, &colorUnitCostOverridden};
    if (box != nullptr && box == addedCosts.box)
        return {&origAddedCosts, &addedCostsOverridden};
    return {};
}
