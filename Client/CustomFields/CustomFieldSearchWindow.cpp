#include "Client/CustomFields/CustomFieldSearchWindow.h"

#include "Platform/Qt/FontScale.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using Platform::LocalizedStrings;

namespace {

constexpr int kWindowWidth = 520;
constexpr int kWindowHeight = 420;
constexpr int kCodeColumnWidth = 140;

QPushButton* MakeButton(QWidget* parent, const char* objectName, const char* key)
{
    auto* button = new QPushButton(LocalizedStrings::Text(QString::fromLatin1(key)), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QTableWidgetItem* ReadOnlyItem(const std::string& text)
{
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

CustomFieldSearchWindow::CustomFieldSearchWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("searchWindow"));
    resize(Platform::FontScaledWithin(*this, kWindowWidth),
           std::min(Platform::FontScaled(*this, kWindowHeight), Platform::ScreenRoom(*this).height()));

    auto* searchLabel = new QLabel(LocalizedStrings::Text(QStringLiteral("Client_Search_For_Label")), this);
    _searchField = new QLineEdit(this);
    _searchField->setObjectName(QStringLiteral("_searchField"));
    searchLabel->setBuddy(_searchField);
    _doSearchButton = MakeButton(this, "_doSearchButton", "Client_Search_Button");
    _doSearchButton->setDefault(true);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(_searchField, 1);
    searchRow->addWidget(_doSearchButton);

    _searchResults = new QTableWidget(0, 2, this);
    _searchResults->setObjectName(QStringLiteral("_searchResults"));
    auto* codeHeader = new QTableWidgetItem(LocalizedStrings::Text(QStringLiteral("Client_Search_Column_Code")));
    codeHeader->setData(Qt::UserRole, QStringLiteral("Code"));
    _searchResults->setHorizontalHeaderItem(0, codeHeader);
    _searchResults->setHorizontalHeaderItem(
        1, new QTableWidgetItem(LocalizedStrings::Text(QStringLiteral("Client_Search_Column_Description"))));
    _searchResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    _searchResults->setSelectionMode(QAbstractItemView::SingleSelection);
    _searchResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _searchResults->setAlternatingRowColors(true);
    _searchResults->setShowGrid(false);
    _searchResults->verticalHeader()->hide();
    _searchResults->verticalHeader()->setDefaultSectionSize(_searchResults->fontMetrics().height() + 8);
    _searchResults->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    _searchResults->horizontalHeader()->setStretchLastSection(true);
    _searchResults->setColumnWidth(0, kCodeColumnWidth);

    _previousPageButton = MakeButton(this, "_previousPageButton", "Client_Search_Previous_Button");
    _pageTextField = new QLabel(this);
    _pageTextField->setObjectName(QStringLiteral("_pageTextField"));
    _pageTextField->setAlignment(Qt::AlignCenter);
    _nextPageButton = MakeButton(this, "_nextPageButton", "Client_Search_Next_Button");
    auto* pagingRow = new QHBoxLayout;
    pagingRow->addWidget(_previousPageButton);
    pagingRow->addWidget(_pageTextField, 1);
    pagingRow->addWidget(_nextPageButton);

    _cancelButton = MakeButton(this, "cancelValueSelection", "Cancel_Button");
    _confirmSelectionButton = MakeButton(this, "_confirmSelectionButton", "Client_Search_Select_Button");
    auto* answerRow = new QHBoxLayout;
    answerRow->addStretch(1);
    answerRow->addWidget(_cancelButton);
    answerRow->addWidget(_confirmSelectionButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(_searchResults, 1);
    layout->addLayout(pagingRow);
    layout->addSpacing(4);
    layout->addLayout(answerRow);
}

void CustomFieldSearchWindow::showResults(const std::vector<CVClientData::CustomFieldValue>& values)
{
    _searchResults->clearContents();
    _searchResults->setRowCount(static_cast<int>(values.size()));
    for (size_t row = 0; row < values.size(); ++row) {
        _searchResults->setItem(static_cast<int>(row), 0, ReadOnlyItem(values[row].Code));
        _searchResults->setItem(static_cast<int>(row), 1, ReadOnlyItem(values[row].Description));
    }
}

int CustomFieldSearchWindow::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = _searchResults->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}
