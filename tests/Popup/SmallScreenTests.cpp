// The job pop-up on a screen too small for it: a desktop scaled twice on a
// 1024x768 screen leaves 512x384 to lay it out in (see CMakeLists.txt). The
// window fits the screen, its rows scroll to either end, its buttons stay in
// view, and the keyboard and the mouse work it as on a large screen.
#include "tests/Popup/PopupWindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using PopupTest::Field;
using PopupTest::Value;
using TestSupport::ModalScript;

const QString kPopup = QStringLiteral("PopupWindow");

// Whether the whole widget can be seen: on the screen, inside the window,
// and inside the rows' viewport when the rows hold it.
bool InView(const QWidget& widget, const QWidget& window)
{
    auto within = [&widget](const QWidget& area) {
        return area.rect().contains(QRect(widget.mapTo(&area, QPoint(0, 0)), widget.size()));
    };
    const QRect onScreen(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    auto* scroller = window.findChild<QScrollArea*>(QStringLiteral("rowsScroller"));
    return window.screen()->availableGeometry().contains(onScreen) && within(window)
           && (scroller == nullptr || !scroller->isAncestorOf(&widget) || within(*scroller->viewport()));
}

// A job with costs the user may change, a comment, a list and three
// free-text references: higher than the screen.
class SmallScreenTest : public PopupTest::PopupWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QApplication::primaryScreen()->availableGeometry().size(), QSize(512, 384));
        mJob.GetUser().AllowCostOverride = true;
        mServer.Define(mJob, Field(1, "Cost centre", 1), {Value(1, 11, "CC10"), Value(1, 12, "CC20")});
        for (uint64_t id : {2, 3, 4})
            mServer.Define(mJob, Field(id, "Reference", 3));
    }

    // Shows the pop-up and acts on it; a window the action leaves open (a
    // failed check) is cancelled.
    bool Work(const ModalScript::Action& action)
    {
        return Show({{kPopup, [this, &action](QWidget& popup) {
                          action(popup);
                          if (popup.isVisible())
                              mPopup.reject();
                      }}});
    }
};

// The rows scroll from the logo at the top to the pages at the bottom; the
// wheel over a list that has not the focus scrolls them too and leaves the
// list's choice alone; the mouse reaches Cancel.
TEST_F(SmallScreenTest, TheRowsScrollAndTheButtonsStayInView)
{
    bool cancelled = false;
    EXPECT_FALSE(Work([&](QWidget& popup) {
        EXPECT_TRUE(popup.screen()->availableGeometry().contains(popup.frameGeometry()))
            << popup.frameGeometry().width() << "x" << popup.frameGeometry().height();
        auto* scroller = popup.findChild<QScrollArea*>(QStringLiteral("rowsScroller"));
        ASSERT_NE(scroller, nullptr);
        QScrollBar& bar = *scroller->verticalScrollBar();
        QWidget& logo = *popup.findChild<QWidget*>(QStringLiteral("logo"));
        QWidget& pages = *popup.findChild<QWidget*>(QStringLiteral("pageCounts"));
        EXPECT_TRUE(InView(logo, popup));
        EXPECT_FALSE(InView(pages, popup));

        auto* list = popup.findChild<QComboBox*>(QStringLiteral("SimpleDropDown"));
        ASSERT_NE(list, nullptr);
        popup.findChild<QWidget*>(QStringLiteral("comments"))->setFocus();  // not the list
        QWheelEvent down(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &down);
        EXPECT_GT(bar.value(), 0);
        EXPECT_EQ(list->currentIndex(), -1);

        bar.setValue(bar.maximum());
        EXPECT_FALSE(InView(logo, popup));
        EXPECT_TRUE(InView(pages, popup));
        for (const char* name : {"allowPrintJob", "cancelPrintJob"})
            EXPECT_TRUE(InView(*popup.findChild<QWidget*>(QString::fromLatin1(name)), popup)) << name;
        cancelled = true;
        QTest::mouseClick(popup.findChild<QPushButton*>(QStringLiteral("cancelPrintJob")), Qt::LeftButton);
    }));
    EXPECT_TRUE(cancelled);
}

// Tab goes from the first field down to Print, each input it reaches scrolled
// into view as the user fills it in; Space on Print prints.
TEST_F(SmallScreenTest, TabReachesEveryInputAndPrint)
{
    int references = 0;
    EXPECT_TRUE(Work([&](QWidget& popup) {
        auto* print = popup.findChild<QPushButton*>(QStringLiteral("allowPrintJob"));
        for (int step = 0; step < 20 && popup.focusWidget() != print; ++step) {
            QWidget* focus = popup.focusWidget();
            ASSERT_NE(focus, nullptr);
            EXPECT_TRUE(InView(*focus, popup)) << focus->objectName().toStdString();
            if (auto* list = qobject_cast<QComboBox*>(focus)) {
                if (list->isEditable())
                    QTest::keyClicks(focus, QStringLiteral("R-%1").arg(++references));
                else
                    QTest::keyClick(focus, Qt::Key_Down);
            }
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        ASSERT_EQ(popup.focusWidget(), print);
        EXPECT_TRUE(InView(*print, popup));
        QTest::keyClick(print, Qt::Key_Space);
    }));
    std::vector<std::string> codes;
    for (const CVClientData::CustomFieldValue& value : mJob.CustomValues)
        codes.push_back(value.Code);
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<std::string>{"CC10", "R-1", "R-2", "R-3"}));
}

// Print, Cancel Job, Batch and Snooze in a 14 point font: every button in
// view, none over another, in their order.
TEST_F(SmallScreenTest, EveryButtonFitsInALargeFont)
{
    const QFont font = QApplication::font();
    QFont large = font;
    large.setPointSizeF(14);
    QApplication::setFont(large);
    mPopup.setFont(large);
    mJob.GetUser().BatchMode = 1;
    mJob.GetUser().AllowSnooze = true;
    mSettings.AuthenticationType = 0;
    Work([&](QWidget& popup) {
        std::vector<QRect> places;
        for (const char* name : {"snoozePrintJob", "setManualBatch", "cancelPrintJob", "allowPrintJob"}) {
            auto* button = popup.findChild<QPushButton*>(QString::fromLatin1(name));
            ASSERT_NE(button, nullptr) << name;
            EXPECT_TRUE(InView(*button, popup)) << name;
            EXPECT_GE(button->width(), button->sizeHint().width()) << name;
            places.push_back(QRect(button->mapTo(&popup, QPoint(0, 0)), button->size()));
        }
        for (size_t i = 1; i < places.size(); ++i)
            EXPECT_LT(places[i - 1].right(), places[i].left());
    });
    QApplication::setFont(font);
}

}  // namespace
