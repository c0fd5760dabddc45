// The job pop-up in pending mode: the user ticks the jobs to release in the
// grid and saves them, one group after the other, in one window.
#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/PendingJobList.h"
#include "tests/Popup/PopupTestJobs.h"
#include "tests/Support/Gui/ModalScript.h"
#include "tests/Support/TempRoot.h"

#include "Platform/Qt/Alert.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

using TestSupport::Click;
using TestSupport::ModalScript;
using TestSupport::Type;

const QString kPopup = QStringLiteral("PopupWindow");

QString Text(const char* key)
{
    return Platform::LocalizedStrings::Text(QString::fromLatin1(key));
}

QTableView& Grid(QWidget& popup)
{
    auto* grid = popup.findChild<QTableView*>(QStringLiteral("pendingJobsGrid"));
    EXPECT_NE(grid, nullptr);
    return *grid;
}

// Clicks the tick box of a row of the grid, where the style draws it.
void Tick(QWidget& popup, int row)
{
    QTableView& grid = Grid(popup);
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.rect = grid.visualRect(grid.model()->index(row, 0));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    QRect box = grid.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &grid);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
}

class PendingPopupTest : public testing::Test {
protected:
    // Pending jobs "Report 1" to "Report <count>", all held back.
    void AddJobs(int count)
    {
        for (int i = 1; i <= count; ++i) {
            ClientJob job = PopupTest::TypicalJob();
            job.DocumentName = "Report " + std::to_string(i);
            job.Options.DelayedJob = true;
            mJobs.Add(job);
        }
    }

    ClientJob& Job(int index) { return **std::next(mJobs.begin(), index); }

    bool Show(std::vector<ModalScript::Step> steps)
    {
        ModalScript script(std::move(steps));
        return mPopup.showForPendingJobs(&mJobs, &mServer, &mSettings, nullptr);
    }

    TestSupport::TempRoot mRoot;
    CVClientData::ClientSettings mSettings = PopupTest::TypicalSettings();
    PopupTest::FieldServer mServer;
    CVClientData::PendingJobList mJobs;
    PopupWindow mPopup;
};

// One pending job is shown like a new job, and Save releases it.
TEST_F(PendingPopupTest, OneJobShowsItsDocumentAndSaveReleasesIt)
{
    AddJobs(1);
    bool saved = Show({{kPopup, [](QWidget& popup) {
                            EXPECT_EQ(popup.findChild<QLabel*>(QStringLiteral("document"))->text(), "Report 1");
                            EXPECT_EQ(popup.findChild<QWidget*>(QStringLiteral("pendingJobsGrid")), nullptr);
                            Click(popup, QStringLiteral("allowPrintJob"));
                        }}});
    EXPECT_TRUE(saved);
    EXPECT_FALSE(Job(0).Options.DelayedJob);
    EXPECT_EQ(mPopup.windowTitle(), Text("Client_Pending_Job_Single_Title").arg(QStringLiteral("Quorvel")));
    EXPECT_EQ(mPopup.findChild<QWidget*>(QStringLiteral("allowPrintJob"))->property("text").toString(),
              Text("Save_Button"));
}

// The ticked jobs take what was entered and leave the grid; the window goes
// on with the job left.
TEST_F(PendingPopupTest, TwoTickedJobsAreSavedTogetherAndTheWindowGoesOn)
{
    AddJobs(3);
    bool answer = Show({{kPopup,
                         [](QWidget& popup) {
                             EXPECT_EQ(popup.height(), PopupWindow::PendingGridHeight + PopupWindow::CostRowsHeight
                                                           + PopupWindow::CommentRowHeight);
                             EXPECT_EQ(Grid(popup).model()->rowCount(), 3);
                             // The grid comes first; Tab leaves it for the comment.
                             EXPECT_EQ(popup.focusWidget(), &Grid(popup));
                             QTest::keyClick(popup.focusWidget(), Qt::Key_Tab);
                             EXPECT_EQ(popup.focusWidget(), popup.findChild<QWidget*>(QStringLiteral("comments")));
                             Tick(popup, 0);
                             Tick(popup, 2);
                             Type(popup, QStringLiteral("comments"), QStringLiteral("Same for both"));
                             Click(popup, QStringLiteral("allowPrintJob"));
                         }},
                        {kPopup, [](QWidget& popup) {
                             QAbstractItemModel& grid = *Grid(popup).model();
                             EXPECT_EQ(grid.rowCount(), 1);
                             EXPECT_EQ(grid.data(grid.index(0, 1)).toString(), "Report 2");
                             Click(popup, QStringLiteral("cancelPrintJob"));
                         }}});
    EXPECT_FALSE(answer);
    for (int index : {0, 2}) {
        EXPECT_FALSE(Job(index).Options.DelayedJob) << index;
        EXPECT_EQ(Job(index).Comments, "Same for both") << index;
    }
    EXPECT_TRUE(Job(1).Options.DelayedJob);
    EXPECT_EQ(Job(1).Comments, PopupTest::TypicalJob().Comments);
    EXPECT_EQ(mPopup.windowTitle(), Text("Client_Pending_Job_Multiple_Title").arg(QStringLiteral("Quorvel")));
}

TEST_F(PendingPopupTest, SaveWithNoJobTickedIsRefused)
{
    AddJobs(2);
    bool answer = Show({{kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("allowPrintJob")); }},
                        {QString::fromLatin1(Platform::Alert::ObjectName),
                         [](QWidget& sheet) {
                             EXPECT_EQ(static_cast<QMessageBox&>(sheet).text(),
                                       Text("Client_Popup_Pending_Job_Error_None_Selected"));
                             Click(sheet, QString::fromLatin1(Platform::Alert::OkButton));
                         }},
                        {kPopup, [](QWidget& popup) { Click(popup, QStringLiteral("cancelPrintJob")); }}});
    EXPECT_FALSE(answer);
    EXPECT_TRUE(Job(0).Options.DelayedJob);
    EXPECT_TRUE(Job(1).Options.DelayedJob);
}

TEST_F(PendingPopupTest, AnEmptyListShowsNoWindow)
{
    EXPECT_FALSE(mPopup.showForPendingJobs(&mJobs, &mServer, &mSettings, nullptr));
    EXPECT_FALSE(mPopup.showForPendingJobs(nullptr, &mServer, &mSettings, nullptr));
    EXPECT_FALSE(mPopup.isVisible());
}

}  // namespace
