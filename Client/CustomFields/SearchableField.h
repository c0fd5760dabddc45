#pragma once

#include "Client/CustomFields/CustomFieldSearchWindow.h"
#include "Client/CustomFields/LastTenComboControl.h"
#include "Core/CVModels/CustomFieldValueSearch.h"

#include <QPointer>
#include <QRect>

#include <vector>

// The control of a field with many values (type 4 without a parent): a
// combo box with the last ten and the field's values, a search button that
// opens a paged search answered by the server, and an add button when the
// user may add codes. Typed text is resolved when the job is saved: a
// remembered code first, then the server's search, which chooses its only
// result when that result's code is the text, and otherwise shows the
// search dialog.
//
// The search runs on the main thread while the dialog waits (a wait cursor
// shows); the web service's time limits bound it. The dialog is made on
// first use and kept with its text, results and page for the next opening.
class SearchableField : public LastTenComboControl {
    Q_OBJECT
public:
    // Values asked for per page of a search.
    static constexpr uint64_t SearchPageSize = 50;

    SearchableField(const QRect& frame, CVClientData::CustomField& field, CVClientData::WebDataService& service,
                    bool userCanAddCodes, QWidget* parent = nullptr);
    ~SearchableField() override;

    // A value the field's list does not hold yet is added to it first.
    void setSelectedValue(const CVClientData::CustomFieldValue* value) override;
    std::optional<CVClientData::CustomFieldValue> searchForUserEnteredValue() override;

    // The search button's action: the search dialog, searching for the
    // chosen item's text when an item is chosen.
    void showSearchDialog();
    // Searches the server for the text, unless an item is chosen; chooses
    // the only result with that code, else lets the user search. The value
    // chosen afterwards, or none.
    std::optional<CVClientData::CustomFieldValue> searchDatabase(const QString& text);
    // Chooses the first remembered value with the code (in any letter case)
    // and answers it; none when no remembered code matches.
    std::optional<CVClientData::CustomFieldValue> FindInLastTenList(const QString& text);
    // Asks the server for the current page of the dialog's search text.
    void performSearch();

    // The search dialog, once it was made; none before.
    CustomFieldSearchWindow* searchWindow() const { return _searchWindow; }

protected:
    QString rememberedItemText(const LastTenEntry& entry) const override;
    // Tells the user on the control's window that the remembered value has gone.
    void mTellValueGone() override;

private:
    void mLoadSearchWindow();
    void searchValues();
    void showNextResultsPage();
    void showPreviousResultsPage();
    void tableSelectionChanged();
    void confirmValueSelection();
    void cancelValueSelection();
    void windowWillClose();

    QPushButton* _searchButton = nullptr;
    CVClientData::CustomFieldValueSearch _customFieldValueSearch;
    std::vector<CVClientData::CustomFieldValue> _currentSearchResults;
    uint64_t _currentResultPage = 0;
    QPointer<CustomFieldSearchWindow> _searchWindow;
};
