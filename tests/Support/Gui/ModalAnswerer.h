#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace TestSupport {

// Answers the modal windows that open while it lives, as a person would: a
// timer on the main thread (it also runs inside a modal window's own event
// loop) looks for the active modal window and clicks the control with the
// chosen object name, a button key such as "OK_Button" in an alert. Make it
// before the call that opens the window. A window that a click opens (an
// alert after a button) is answered too, and so is a window that is active
// again after another one was answered.
//
// A window whose control cannot be found is closed, and the test fails, so
// that a test never hangs on a window nobody answers.
class ModalAnswerer {
public:
    // Chooses, by looking at the window, the object name of the control to
    // click; an empty name leaves the window to a later look.
    using Chooser = std::function<QString(QWidget& window)>;

    // Clicks the named control in each of the next `windows` modal windows.
    explicit ModalAnswerer(const QString& controlName, int windows = 1);
    explicit ModalAnswerer(Chooser chooser, int windows = 1);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // The windows answered so far.
    int Answered() const { return mintAnswered; }

private:
    void mLook();

    Chooser mChooser;
    const int mintWindows;
    int mintAnswered = 0;
    QPointer<QWidget> mLastAnswered;
    QTimer mTimer;
};

}  // namespace TestSupport
