#include "tests/Support/Gui/ModalAnswerer.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace TestSupport {

namespace {

constexpr int kLookEveryMs = 10;

}  // namespace

ModalAnswerer::ModalAnswerer(const QString& controlName, int windows)
    : ModalAnswerer([controlName](QWidget&) { return controlName; }, windows)
{
}

ModalAnswerer::ModalAnswerer(Chooser chooser, int windows) : mChooser(std::move(chooser)), mintWindows(windows)
{
    QObject::connect(&mTimer, &QTimer::timeout, [this] { mLook(); });
    mTimer.start(kLookEveryMs);
}

ModalAnswerer::~ModalAnswerer() = default;

// Answers the active modal window unless it is the one answered last and
// still up (a click that does not close the window is not repeated).
void ModalAnswerer::mLook()
{
    if (mintAnswered >= mintWindows) {
        mTimer.stop();
        return;
    }
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible() || window == mLastAnswered)
        return;
    QString name = mChooser(*window);
    if (name.isEmpty())
        return;
    auto* control = window->findChild<QWidget*>(name);
    mLastAnswered = window;
    ++mintAnswered;
    if (control == nullptr) {
        ADD_FAILURE() << "the modal window " << window->objectName().toStdString() << " has no control "
                      << name.toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
        return;
    }
    // The click is made from the event loop once this look has ended: a
    // window that it opens runs its own loop, in which this timer must fire
    // again to answer it (a timer never fires inside its own handler).
    QTimer::singleShot(0, control, [control] { QTest::mouseClick(control, Qt::LeftButton); });
}

}  // namespace TestSupport
