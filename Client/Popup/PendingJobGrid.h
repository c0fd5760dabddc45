#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class PopupWindow;
class QTableView;
class QWidget;

// The pending-jobs grid of the job pop-up: a table of the jobs that wait for
// release, with a tick box per job ("SELECTED") and its document, printer
// and print date. The pop-up is the table's data source; this model only
// carries the table's questions to it by column identifier.
class PendingJobGridModel : public QAbstractTableModel {
public:
    explicit PendingJobGridModel(PopupWindow& dataSource);

    // The grid view (the outlet "pendingJobsGridView") with its table (the
    // outlet "pendingJobsGrid") showing this model, sized for the pop-up.
    static QWidget* makeGridView(PendingJobGridModel& model, QWidget* parent, QTableView*& table);

    // The pop-up's jobs changed: the table reads them again.
    void reloadData();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString mIdentifier(int column) const;

    PopupWindow& mDataSource;
    const QStringList mIdentifiers;
};
