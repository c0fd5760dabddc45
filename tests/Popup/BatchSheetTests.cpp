// The manual batch sheet on the job pop-up, and what the application makes
// of its outcome.
#include "Client/ApplicationController.h"
#include "Client/Popup/PopupWindow.h"
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Support/Gui/ModalScript.h"
#include "tests/Support/TempRoot.h"

#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QMessageBox>

#include <gtest/gtest.h>

#include <vector>

namespace {

using TestSupport::Click;
using TestSupport::ModalScript;
using TestSupport::Type;

const QString kPopup = QStringLiteral("PopupWindow");
const QString kSheet = QStringLiteral("_batchSizeWindow");

// Batch, then the size entered into the sheet and its OK; the exceeded
// alert when expected; then Print.
std::vector<ModalScript::Step> BatchOf(const char* size, bool alert)
{
    std::vector<ModalScript::Step> steps{
        {kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("setManualBatch")); }},
        {kSheet, [size](QWidget& sheet) {
             Type(sheet, QStringLiteral("_batchSizeField"), QString::fromLatin1(size));
             Click(sheet, QStringLiteral("setManualBatchSize"));
         }}};
    if (alert)
        steps.push_back({QString::fromLatin1(Platform::Alert::ObjectName), [](QWidget& box) {
                             EXPECT_EQ(static_cast<QMessageBox&>(box).informativeText(),
                                       Platform::LocalizedStrings::Format(
                                           QStringLiteral("Client_Manual_Batch_Error_Value_Exceeded_Instructions_Message"),
                                           QStringLiteral("5")));
                             // Above the pop-up, which stays above the user's other windows.
                             EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                             Click(box, QString::fromLatin1(Platform::Alert::OkButton));
                         }});
    steps.push_back({kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("allowPrintJob")); }});
    return steps;
}

class BatchSheetTest : public testing::Test {
protected:
    BatchSheetTest()
    {
        mJob.GetUser().BatchMode = 1;
        mJob.GetUser().MaxBatchSize = 5;
    }

    TestSupport::TempRoot mRoot;
    CVClientData::ClientSettings mSettings = PopupTest::TypicalSettings();
    PopupTest::FieldServer mServer;
    ClientJob mJob = PopupTest::TypicalJob();
};

// A size up to the user's "MaxBatchSize" becomes the user's batch size, but
// only a batch of more than one job counts; a larger or negative size is
// refused with an alert. The pop-up still prints.
TEST_F(BatchSheetTest, TheSizeEnteredIsCheckedAgainstTheUsersLimit)
{
    struct Case {
        const char* size;
        bool alert;
        bool batch;
        uint64_t maxBatchSize;
    } cases[] = {
        {"0", false, false, 0}, {"1", false, false, 1}, {"3", false, true, 3},
        {"5", false, true, 5},  {"6", true, false, 5},  {"-2", true, false, 5},
    };
    for (const Case& test : cases) {
        ClientJob job = mJob;
        PopupWindow popup;
        ModalScript script(BatchOf(test.size, test.alert));
        EXPECT_TRUE(popup.showForJob(&job, &mServer, &mSettings, nullptr)) << test.size;
        EXPECT_EQ(popup.getBatchStatus(), test.batch) << test.size;
        EXPECT_EQ(job.GetUser().MaxBatchSize, test.maxBatchSize) << test.size;
    }
}

TEST_F(BatchSheetTest, CancellingTheSheetStartsNoBatch)
{
    PopupWindow popup;
    EXPECT_FALSE(popup.getBatchStatus());
    ModalScript script({{kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("setManualBatch")); }},
                        {kSheet, [](QWidget& sheet) { Click(sheet, QStringLiteral("cancelManualBatchSize")); }},
                        {kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("allowPrintJob")); }}});
    EXPECT_TRUE(popup.showForJob(&mJob, &mServer, &mSettings, nullptr));
    EXPECT_FALSE(popup.getBatchStatus());
    EXPECT_EQ(mJob.GetUser().MaxBatchSize, 5u);
}

// The application keeps the user's batch only when the user started one of
// more than one job in the pop-up.
TEST_F(BatchSheetTest, TheApplicationClearsTheBatchUnlessTheUserStartedOne)
{
    ApplicationController controller{"/nonexistent", {}};
    struct Case {
        std::vector<ModalScript::Step> steps;
        uint64_t maxBatchSize;
    } cases[] = {
        {{{kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("allowPrintJob")); }}}, 0},
        {BatchOf("3", false), 3},
        {BatchOf("1", false), 0},
    };
    for (Case& test : cases) {
        ClientJob job = mJob;
        ModalScript script(std::move(test.steps));
        EXPECT_TRUE(controller.showPopupForJob(job, mServer, mSettings));
        EXPECT_EQ(job.GetUser().MaxBatchSize, test.maxBatchSize);
        EXPECT_EQ(controller.appState(), ApplicationController::AppStateIdle);
    }
}

}  // namespace
