#include "tests/Support/Gui/ModalScript.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace TestSupport {

namespace {

constexpr int kLookEveryMs = 10;

void RejectModalWindows()
{
    while (QWidget* window = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
        if (window == QApplication::activeModalWidget())
            return;
    }
}

}  // namespace

ModalScript::ModalScript(std::vector<Step> steps, std::chrono::seconds limit)
    : mSteps(std::move(steps)), mLimit(limit)
{
    QObject::connect(&mTimer, &QTimer::timeout, [this] { mLook(); });
    mElapsed.start();
    mTimer.start(kLookEveryMs);
}

ModalScript::~ModalScript()
{
    if (mintNext < mSteps.size() && !mblnTimedOut)
        ADD_FAILURE() << "the modal script stopped before step " << mintNext << " (window "
                      << mSteps[mintNext].window.toStdString() << ")";
}

// The action runs from the event loop, not from the timer: an action that
// opens a modal window returns only when that window has ended, and Qt does
// not fire a timer again while its own handler runs, so the next steps are
// taken meanwhile from this timer, inside the window's event loop. Until
// the action has started, no further step is taken.
void ModalScript::mLook()
{
    if (mblnTimedOut) {
        RejectModalWindows();
        return;
    }
    if (mintNext >= mSteps.size()) {
        mTimer.stop();
        return;
    }
    if (mElapsed.elapsed() > std::chrono::milliseconds(mLimit).count()) {
        mblnTimedOut = true;
        QWidget* window = QApplication::activeModalWidget();
        ADD_FAILURE() << "step " << mintNext << " waited in vain for the window "
                      << mSteps[mintNext].window.toStdString() << "; the active modal window is "
                      << (window != nullptr ? window->objectName().toStdString() : std::string("none"));
        RejectModalWindows();
        return;
    }
    QWidget* window = QApplication::activeModalWidget();
    if (mblnActionQueued || window == nullptr || !window->isVisible()
        || window->objectName() != mSteps[mintNext].window)
        return;
    Action action = mSteps[mintNext].action;
    ++mintNext;
    mblnActionQueued = true;
    QPointer<QWidget> target(window);
    QMetaObject::invokeMethod(
        &mTimer,
        [this, action, target] {
            mblnActionQueued = false;
            if (action && target)
                action(*target);
        },
        Qt::QueuedConnection);
}

void Click(QWidget& window, const QString& name)
{
    auto* button = window.findChild<QAbstractButton*>(name);
    if (button == nullptr) {
        ADD_FAILURE() << "the window " << window.objectName().toStdString() << " has no button " << name.toStdString();
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

void Type(QWidget& window, const QString& name, const QString& text)
{
    if (auto* line = window.findChild<QLineEdit*>(name)) {
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Backspace);
        QTest::keyClicks(line, text);
        return;
    }
    if (auto* box = window.findChild<QPlainTextEdit*>(name)) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        return;
    }
    ADD_FAILURE() << "the window " << window.objectName().toStdString() << " has no text box " << name.toStdString();
}

void ChooseInList(QComboBox& box, int item)
{
    box.showPopup();
    QAbstractItemView* list = box.view();
    const QModelIndex row = list->model()->index(item, box.modelColumn());
    list->scrollTo(row);
    QApplication::processEvents();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    QApplication::processEvents();
}

}  // namespace TestSupport
