#include "Client/CustomFields/SearchableField.h"

#include "Client/CustomFields/ButtonImages.h"
#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Client/CustomFields/CustomFieldSearchWindow.h"
#include "Core/CVModels/CustomField.h"
#include "Core/Services/CustomFieldService.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

using Log = ComponentLog<LogComponents::ClientUserInterface>;
using CVClientData::CustomFieldValue;
using Platform::LocalizedStrings;

namespace {

// A wait cursor while the server is asked.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

SearchableField::SearchableField(const QRect& frame, CVClientData::CustomField& field,
                                 CVClientData::WebDataService& service, bool userCanAddCodes, QWidget* parent)
    : LastTenComboControl(frame, field, service, userCanAddCodes,
                          {"SearchableField::addNewCode - creating _window to add new code.",
                           "SearchableField::didEndSheet - add new code _window has closed."},
                          parent),
      _customFieldValueSearch(field.Id)
{
    setObjectName(QStringLiteral("SearchableField"));
    mShowRememberedRowsOnly();
    _searchButton = MakeImageButton(this, "_searchButton", "find", "Client_Custom_Field_Search_Button");
    connect(_searchButton, &QPushButton::clicked, this, &SearchableField::showSearchDialog);
    mAddTrailingButton(_searchButton);
    mAddTrailingButton(_addButton);
    reloadItems();
}

SearchableField::~SearchableField()
{
    delete _searchWindow.data();
}

void SearchableField::setSelectedValue(const CustomFieldValue* value)
{
    if (value == nullptr || value->ValueId == 0) {
        _comboBox->clearSelection();
        return;
    }
    int64_t index = _customField.FindCustomFieldValueIndex(value->ValueId);
    if (index < 0) {
        index = _customField.AddCustomFieldValue(*value);
        reloadItems();
    }
    mSelectItem(mValueItem(index));
}

std::optional<CustomFieldValue> SearchableField::searchForUserEnteredValue()
{
    const QString text = _comboBox->currentText();
    if (std::optional<CustomFieldValue> value = FindInLastTenList(text))
        return value;
    return searchDatabase(text);
}

void SearchableField::showSearchDialog()
{
    mLoadSearchWindow();
    Log::Debug("SearchableField::showSearchDialog - about to show Search window");
    if (_comboBox->currentIndex() >= 0) {
        _searchWindow->_searchField->setText(_comboBox->currentText());
        performSearch();
    }
    _searchWindow->exec();
}

std::optional<CustomFieldValue> SearchableField::searchDatabase(const QString& text)
{
    mLoadSearchWindow();
    Log::Debug("SearchableField::showSearchDialog - about to show Search _window");
    if (_comboBox->currentIndex() < 0) {
        _searchWindow->_searchField->setText(text);
        performSearch();
    }
    if (_currentSearchResults.size() == 1
        && LastTenValues::SameCode(_currentSearchResults.front().Code, text.toStdString())) {
        const CustomFieldValue only = _currentSearchResults.front();
        setSelectedValue(&only);
        _searchWindow->done(QDialog::Rejected);
        return only;
    }
    _searchWindow->exec();
    return selectedCustomFieldValue();
}

// The remembered entry's value is answered as choosing its item gives it:
// the field cannot look a code up on the server, so the entry's id is what
// finds it in the field's list.
std::optional<CustomFieldValue> SearchableField::FindInLastTenList(const QString& text)
{
    const std::string typed = text.toStdString();
    const std::vector<LastTenEntry>& entries = _lastTenValues.values();
    for (size_t position = 0; position < entries.size(); ++position) {
        if (!LastTenValues::SameCode(entries[position].Code, typed))
            continue;
        mSelectItem(static_cast<int>(position) + 1);
        return selectedCustomFieldValue();
    }
    return std::nullopt;
}

// A failed search leaves the page count at 0, so that the dialog shows no
// page rather than the last answer's paging.
void SearchableField::performSearch()
{
    _customFieldValueSearch.SearchFor = _searchWindow->_searchField->text().toStdString();
    _customFieldValueSearch.ParentValueId = mParentValueId();
    _customFieldValueSearch.PageSize = SearchPageSize;
    _customFieldValueSearch.PageNumber = std::max<uint64_t>(_currentResultPage, 1);
    _customFieldValueSearch.PageCount = 0;
    {
        const WaitCursor waiting;
        CVCoreDataServices::CustomFieldService service(_webDataService);
        service.SearchCustomFieldValues(_customFieldValueSearch);
    }
    _currentSearchResults = _customFieldValueSearch.MatchingValues;
    const uint64_t pageCount = _customFieldValueSearch.PageCount;
    _currentResultPage = pageCount < 1 ? 0 : _customFieldValueSearch.PageNumber;

    _searchWindow->showResults(_currentSearchResults);
    _searchWindow->_previousPageButton->setEnabled(_currentResultPage > 1);
    _searchWindow->_nextPageButton->setEnabled(_currentResultPage < pageCount);
    _searchWindow->_confirmSelectionButton->setEnabled(false);
    const QLocale locale;
    _searchWindow->_pageTextField->setText(
        LocalizedStrings::Format(QStringLiteral("Client_Search_Results_Paging_Text"),
                                 locale.toString(static_cast<qulonglong>(_currentResultPage)),
                                 locale.toString(static_cast<qulonglong>(pageCount))));
}

QString SearchableField::rememberedItemText(const LastTenEntry& entry) const
{
    return QStringLiteral("%1 - %2").arg(QString::fromStdString(entry.Code), QString::fromStdString(entry.Description));
}

void SearchableField::mTellValueGone()
{
    const QString fieldName = QString::fromStdString(_customField.Name);
    Platform::Alert alert(window());
    alert.addButton(QString::fromLatin1(Platform::Alert::OkButton));
    alert.setMessageText(
        LocalizedStrings::Format(QStringLiteral("Client_Search_Error_Value_No_Longer_Exists_Message"), fieldName));
    alert.setInformativeText(LocalizedStrings::Format(
        QStringLiteral("Client_Search_Error_Value_No_Longer_Exists_Instructions_Message"), fieldName));
    alert.runModal();
}

// The dialog starts on page 1 with nothing to page to or confirm; Return
// searches.
void SearchableField::mLoadSearchWindow()
{
    if (_searchWindow != nullptr)
        return;
    _searchWindow = new CustomFieldSearchWindow(window());
    _searchWindow->setWindowTitle(LocalizedStrings::Format(QStringLiteral("Client_Search_Window_Heading"),
                                                           QString::fromStdString(_customField.Name)));
    _searchWindow->_nextPageButton->setEnabled(false);
    _searchWindow->_previousPageButton->setEnabled(false);
    _searchWindow->_confirmSelectionButton->setEnabled(false);
    _currentResultPage = 1;
    connect(_searchWindow->_doSearchButton, &QPushButton::clicked, this, &SearchableField::searchValues);
    connect(_searchWindow->_nextPageButton, &QPushButton::clicked, this, &SearchableField::showNextResultsPage);
    connect(_searchWindow->_previousPageButton, &QPushButton::clicked, this,
            &SearchableField::showPreviousResultsPage);
    connect(_searchWindow->_searchResults, &QTableWidget::itemSelectionChanged, this,
            &SearchableField::tableSelectionChanged);
    connect(_searchWindow->_confirmSelectionButton, &QPushButton::clicked, this,
            &SearchableField::confirmValueSelection);
    connect(_searchWindow->_cancelButton, &QPushButton::clicked, this, &SearchableField::cancelValueSelection);
    connect(_searchWindow, &QDialog::finished, this, &SearchableField::windowWillClose);
}

void SearchableField::searchValues()
{
    Log::Debug("SearchableField::searchValues - about to perform search");
    performSearch();
}

void SearchableField::showNextResultsPage()
{
    ++_currentResultPage;
    performSearch();
}

void SearchableField::showPreviousResultsPage()
{
    if (_currentResultPage > 0)
        --_currentResultPage;
    performSearch();
}

void SearchableField::tableSelectionChanged()
{
    const int row = _searchWindow->selectedRow();
    _searchWindow->_confirmSelectionButton->setEnabled(row >= 0
                                                       && static_cast<size_t>(row) < _currentSearchResults.size());
}

void SearchableField::confirmValueSelection()
{
    const int row = _searchWindow->selectedRow();
    if (row < 0 || static_cast<size_t>(row) >= _currentSearchResults.size())
        return;
    Log::Debug("SearchableField::confirmValueSelection - user chose value from search results - closing window.");
    const CustomFieldValue chosen = _currentSearchResults[static_cast<size_t>(row)];
    setSelectedValue(&chosen);
    _searchWindow->accept();
}

void SearchableField::cancelValueSelection()
{
    Log::Debug("SearchableField::cancelValueSelection - user opted to cancel search _window - closing.");
    _searchWindow->reject();
}

void SearchableField::windowWillClose()
{
    Log::Debug("SearchableField::windowWillClose - Search _window is closing.  Telling app to stop modal session.");
}
