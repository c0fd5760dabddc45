#include "Client/Popup/PendingJobGrid.h"

#include "Client/Popup/PopupWindow.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// The column titles, by identifier.
QString ColumnTitle(const QString& identifier)
{
    if (identifier == QLatin1String(PopupWindow::SelectedColumn))
        return Platform::LocalizedStrings::Text(QStringLiteral("Client_Pending_Job_Column_Selected"));
    if (identifier == QLatin1String(PopupWindow::DocumentColumn))
        return Platform::LocalizedStrings::Text(QStringLiteral("Client_Pending_Job_Column_Document"));
    if (identifier == QLatin1String(PopupWindow::PrinterColumn))
        return Platform::LocalizedStrings::Text(QStringLiteral("Client_Pending_Job_Column_Printer"));
    return Platform::LocalizedStrings::Text(QStringLiteral("Client_Pending_Job_Column_Date_Printed"));
}

}  // namespace

PendingJobGridModel::PendingJobGridModel(PopupWindow& dataSource)
    : mDataSource(dataSource),
      mIdentifiers{QString::fromLatin1(PopupWindow::SelectedColumn), QString::fromLatin1(PopupWindow::DocumentColumn),
                   QString::fromLatin1(PopupWindow::PrinterColumn), QString::fromLatin1(PopupWindow::DatePrintedColumn)}
{
}

// A plain table: rows of jobs, no row numbers, the document column taking
// what the printer and date columns leave.
QWidget* PendingJobGridModel::makeGridView(PendingJobGridModel& model, QWidget* parent, QTableView*& table)
{
    auto* view = new QWidget(parent);
    view->setObjectName(QStringLiteral("pendingJobsGridView"));
    table = new QTableView(view);
    table->setObjectName(QStringLiteral("pendingJobsGrid"));
    table->setModel(&model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next input, as everywhere in the window;
    // the arrow keys move between the jobs.
    table->setTabKeyNavigation(false);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    QHeaderView* header = table->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    return view;
}

void PendingJobGridModel::reloadData()
{
    beginResetModel();
    endResetModel();
}

int PendingJobGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mDataSource.numberOfRowsInTableView();
}

int PendingJobGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(mIdentifiers.size());
}

QString PendingJobGridModel::mIdentifier(int column) const
{
    return column >= 0 && column < mIdentifiers.size() ? mIdentifiers.at(column) : QString();
}

// The tick box shows as a check state; the other columns as text.
QVariant PendingJobGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const QString identifier = mIdentifier(index.column());
    const bool tickBox = identifier == QLatin1String(PopupWindow::SelectedColumn);
    if (tickBox && role == Qt::CheckStateRole)
        return mDataSource.objectValueForTableColumn(identifier, index.row()).toBool() ? Qt::Checked : Qt::Unchecked;
    if (!tickBox && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return mDataSource.objectValueForTableColumn(identifier, index.row());
    return QVariant();
}

bool PendingJobGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const QString identifier = mIdentifier(index.column());
    if (!index.isValid() || role != Qt::CheckStateRole || identifier != QLatin1String(PopupWindow::SelectedColumn))
        return false;
    mDataSource.setObjectValue(value.toInt() == Qt::Checked, identifier, index.row());
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags PendingJobGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (mIdentifier(index.column()) == QLatin1String(PopupWindow::SelectedColumn))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant PendingJobGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return ColumnTitle(mIdentifier(section));
}
