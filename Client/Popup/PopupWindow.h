#pragma once

#include "Client/CustomFields/CustomFieldControl.h"
#include "Client/Popup/PopupFormats.h"
#include "Core/CVModels/CustomField.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class ClientJob;
class ClientLogo;
class ManualBatchWindowController;
class PendingJobGridModel;
class ElidingLabel;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace CVClientData {
class ClientSettings;
class PendingJobList;
class User;
class WebDataService;
}  // namespace CVClientData

// The job pop-up: the window in which the user confirms a tracked job before
// it is released (single-job mode), or works through the jobs that wait for
// release (pending mode). It shows who prints what where, the pages, units
// and costs, the user's balance, one row per custom field the job asks for
// and a comment, and offers Print (Save in pending mode), Cancel, Snooze and
// a manual batch.
//
// What the user enters is written into the job record; the show operations
// answer yes for Print/Save and Snooze (which sets the job's "DelayedJob"),
// no for Cancel or any other end of the window, closing it included. User
// errors are sheets on the window: it stays up until Print, Snooze or Cancel.
// In pending mode the window moves from job to job inside one modal run.
//
// Use, on the main thread, once per request: make it, setCacheDirectory, one
// show operation, getBatchStatus (single-job mode), close,
// releasePopupObjects. None of the records given to it is owned; they must
// outlive the window's use. A missing service, settings or logo is taken as
// no custom fields, default settings and the shipped logo; without a job the
// window shows what it has and refuses Print.
class PopupWindow : public QDialog, public CustomFieldControlDelegate {
public:
    // The control of one custom-field row.
    using FieldControl = CustomFieldControl;

    // --- Layout numbers (window coordinates count from the bottom) ---
    static constexpr int ContentWidth = 474;
    static constexpr int BaseHeight = 214;
    static constexpr int PendingGridHeight = 302;  // pending mode with more than one job
    static constexpr int CostRowsHeight = 46;
    // A balance of black-and-white and colour pages takes two lines.
    static constexpr int BothBalancesExtraHeight = 17;
    static constexpr int CostOverrideExtraHeight = 5;
    static constexpr int CommentRowHeight = 59;
    static constexpr int OptionFieldRowHeight = 46;  // field type 2
    static constexpr int FieldRowHeight = 28;        // field types 0, 1, 3 and 4

    // The identifiers of the pending-jobs grid's columns.
    static constexpr const char* SelectedColumn = "SELECTED";
    static constexpr const char* DocumentColumn = "DOCUMENT";
    static constexpr const char* PrinterColumn = "PRINTER";
    static constexpr const char* DatePrintedColumn = "DATE_PRINTED";

    // init: an empty window (initPopupObjects).
    PopupWindow();
    ~PopupWindow() override;
    PopupWindow(const PopupWindow&) = delete;
    PopupWindow& operator=(const PopupWindow&) = delete;

    // --- What the application controller calls ---
    // No job, no pending list, no formats, cache folder or batch sheet.
    void initPopupObjects();
    void setCacheDirectory(const QString& folder) { cacheDirectory = folder; }
    // Builds and fills the window for the job and runs it modally; yes for
    // Print and Snooze.
    bool showForJob(ClientJob* job, CVClientData::WebDataService* webDataService,
                    const CVClientData::ClientSettings* settings, const ClientLogo* logo);
    // The same in pending mode over the list's jobs, starting with the first;
    // an empty list answers no without showing anything.
    bool showForPendingJobs(CVClientData::PendingJobList* jobs, CVClientData::WebDataService* webDataService,
                            const CVClientData::ClientSettings* settings, const ClientLogo* logo);
    // Whether the batch sheet's last outcome was accepted with a size above
    // 1; no when Batch was never pressed.
    bool getBatchStatus() const;
    // Ends the modal run, if any, then closes the window.
    void close();
    void releasePopupObjects();
    bool isPendingMode() const { return pendingJobs != nullptr; }

    // --- Button actions ---
    void allowPrintJob();
    void cancelPrintJob();
    void snoozePrintJob();
    void setManualBatch();

    // --- Delegate entries ---
    // A custom-field control's value changed (for a parent field, passed on
    // by its child's control).
    void customFieldControlSelectionChanged(FieldControl& control) override;
    // Editing of a cost box ended with a text the formatter accepts.
    void controlTextDidEndEditing(QLineEdit* box);
    // A cost box's text is not a cost: refused, with its sheet.
    bool controlDidFailToFormatString(QLineEdit* box);
    // A custom-field list is about to open: nothing to do.
    void comboBoxWillPopUp() {}
    // The pending-jobs grid's data source.
    int numberOfRowsInTableView() const;
    QVariant objectValueForTableColumn(const QString& identifier, int row) const;
    void setObjectValue(const QVariant& value, const QString& identifier, int row);

private:
    // The cost inputs: labels, or editable boxes when the user may override.
    struct CostInput {
        ElidingLabel* label = nullptr;
        QLineEdit* box = nullptr;
        QString text() const;
        void setText(const QString& text) const;
    };
    class Placer;

    // --- Building (PopupWindowLayout.cpp) ---
    void setDecimalFormat();
    int calculatePopupHeight();
    void createWindow();
    void mLoadCustomFields();
    void mPlaceButtons(Placer& placer);
    int mPlaceUserRows(Placer& placer, int cursor);
    int mPlaceCostRows(Placer& placer, int cursor);
    int mPlaceComment(Placer& placer, int cursor);
    int mPlaceCustomFieldRows(Placer& placer, int cursor);
    // The control a field of the type asks for, in the frame; none for a
    // field that gets no row.
    FieldControl* mMakeFieldControl(CVClientData::CustomField& field, const QRect& frame, QWidget* parent);
    // The rows above the bar of buttons, scrolling when the screen is too
    // small for them.
    void mFitToScreen(QWidget& rows, QWidget& bar);
    void mNarrowButtons(QList<QPushButton*> buttons, double scale);
    // Top to bottom for the keyboard, the bar's buttons last: the first
    // input has the focus.
    void mSetKeyboardOrder(QWidget& bar);
    int mPlaceJobRows(Placer& placer, int cursor);
    void mPlaceLogo(Placer& placer, int cursor);
    CostInput mMakeCostInput(Placer& placer, const char* name, int x, int y);
    QLabel* mMakeCaption(Placer& placer, const char* key, int x, int y);
    ElidingLabel* mMakeValue(Placer& placer, const char* name, int x, int y, int width, int lines = 1);
    void mMakeSeparator(Placer& placer, int y);

    // --- Filling and costs (PopupWindowFilling.cpp) ---
    void populateWindowFromJob();
    void updateJobCosts();
    void mRestoreLastEntries();
    // Writes a cost box's number into the job's overrides.
    void mWriteCostOverride(QLineEdit* box, double value);
    // Ends editing of the cost boxes; false when a box's text is refused.
    bool mEndCostEditing();
    struct CostBoxState {
        QString* original = nullptr;
        bool* overridden = nullptr;
    };
    CostBoxState mStateOf(QLineEdit* box);

    // --- Saving (PopupWindowSaving.cpp) ---
    bool savePopupWindowValuesToJobAndValidate();
    bool mSelectFirstTickedJob();
    bool mStoreCustomFieldValues();
    bool mCustomFieldsWithinBudget(double totalCost);
    void mCopyValuesToTickedJobs();
    // A sheet on the window with one "OK_Button".
    void mShowSheet(const QString& message, const QString& informative);

    // The job's user, or an empty one when there is no job.
    const CVClientData::User& mUser() const;
    const CVClientData::ClientSettings& mSettings() const;
    int mPendingJobCount() const { return static_cast<int>(pendingClientJobsInGrid.size()); }
    bool mShowsGrid() const { return isPendingMode() && mPendingJobCount() > 1; }

    ClientJob* _printJob = nullptr;
    CVClientData::WebDataService* _webDataService = nullptr;
    const CVClientData::ClientSettings* _clientSettings = nullptr;
    const ClientLogo* _logo = nullptr;
    PopupFormats mFormats;
    QString cacheDirectory;
    std::unique_ptr<ManualBatchWindowController> mbWindowController;
    CVClientData::PendingJobList* pendingJobs = nullptr;
    std::vector<ClientJob*> pendingClientJobsInGrid;
    std::vector<CVClientData::CustomField> _customFieldsForJob;

    // The window's content, made anew by createWindow, and its outlets.
    QWidget* mContentView = nullptr;
    ElidingLabel* user = nullptr;
    ElidingLabel* userBalance = nullptr;
    ElidingLabel* pageCounts = nullptr;
    ElidingLabel* totalUnits = nullptr;
    ElidingLabel* printer = nullptr;
    ElidingLabel* document = nullptr;
    CostInput addedCosts;
    CostInput bwUnitCost;
    CostInput colorUnitCost;
    ElidingLabel* totalCost = nullptr;
    QPlainTextEdit* comments = nullptr;
    QTableView* pendingJobsGrid = nullptr;
    QWidget* pendingJobsGridView = nullptr;
    PendingJobGridModel* mGridModel = nullptr;
    std::vector<FieldControl*> customFieldControls;  // the bottom row first

    QString origAddedCosts;
    QString origBWUnitCost;
    QString origColorUnitCost;
    bool bwUnitCostOverridden = false;
    bool colorUnitCostOverridden = false;
    bool addedCostsOverridden = false;
};
