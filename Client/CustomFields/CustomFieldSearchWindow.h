#pragma once

#include "Core/CVModels/CustomFieldValue.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The search dialog of a searchable field, laid out in code: the text to
// search for with its Search button (the Return key), the page of results
// with a "Code" and a description column, the paging buttons around the page
// text, and Cancel and Select. The searchable field that owns it runs it;
// widgets are named as the field's code refers to them.
class CustomFieldSearchWindow : public QDialog {
    Q_OBJECT
public:
    explicit CustomFieldSearchWindow(QWidget* parent);

    // Shows one row per value: its code, then its description.
    void showResults(const std::vector<CVClientData::CustomFieldValue>& values);
    // The row selected in the results; -1 for none.
    int selectedRow() const;

    QLineEdit* _searchField = nullptr;
    QPushButton* _doSearchButton = nullptr;
    QTableWidget* _searchResults = nullptr;
    QPushButton* _previousPageButton = nullptr;
    QLabel* _pageTextField = nullptr;
    QPushButton* _nextPageButton = nullptr;
    QPushButton* _cancelButton = nullptr;
    QPushButton* _confirmSelectionButton = nullptr;
};
