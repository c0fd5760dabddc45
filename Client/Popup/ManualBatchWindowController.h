#pragma once

#include <QDialog>
#include <QPointer>

#include <cstdint>

class QLineEdit;
class QWidget;

namespace CVClientData {
class User;
}

// The manual batch sheet of the job pop-up: the user enters how many jobs,
// this one included, print without asking again. An accepted size of at
// most the user's "MaxBatchSize" becomes the user's batch size; a larger or
// negative one is refused with an alert. The sheet does not end the pop-up.
class ManualBatchWindowController {
public:
    // init: size 0, no sheet, batch not enabled.
    ManualBatchWindowController() = default;
    ~ManualBatchWindowController();
    ManualBatchWindowController(const ManualBatchWindowController&) = delete;
    ManualBatchWindowController& operator=(const ManualBatchWindowController&) = delete;

    void setBatchSize(int32_t size) { _manualBatchSize = size; }
    int32_t batchSize() const { return _manualBatchSize; }

    // Shows the sheet on the window for the user and waits until it ends;
    // then stores an accepted size in the user's "MaxBatchSize". The user
    // may be absent: the sheet then ends without a batch.
    void showManualBatchSheet(QWidget* window, CVClientData::User* user);
    // Whether the last sheet ended with an accepted size.
    bool getBatchState() const { return _batchEnabled; }

    // --- The sheet's actions ---
    // OK: takes the field's number and ends the sheet with code 1.
    void setManualBatchSize();
    // Cancel: ends the sheet with code 0.
    void cancelManualBatchSize();

private:
    // Builds the sheet (once) and puts the size into its field.
    void mLoadSheet(QWidget* window);
    void awakeFromNib();
    // What the ended sheet means for the batch.
    void mSheetDidEnd(int code, CVClientData::User* user);

    int32_t _manualBatchSize = 0;
    QPointer<QDialog> _batchSizeWindow;  // a child of the pop-up, which deletes it last
    QLineEdit* _batchSizeField = nullptr;
    bool _batchEnabled = false;
};
