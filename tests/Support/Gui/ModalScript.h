#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

namespace TestSupport {

// Works through modal windows as a person would, step by step: each step
// waits until the active modal window has the step's object name and then
// acts on it (types, ticks, clicks). The same window may take several steps
// in a row, and a step's action may open a window that the next step
// answers. Make it before the call that opens the first window.
//
// When the steps are not done within the time limit, the test fails and
// every modal window is rejected, so that a test never hangs.
class ModalScript {
public:
    using Action = std::function<void(QWidget& window)>;
    struct Step {
        QString window;
        Action action;
    };

    explicit ModalScript(std::vector<Step> steps, std::chrono::seconds limit = std::chrono::seconds(30));
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The steps taken so far.
    size_t Taken() const { return mintNext; }

private:
    void mLook();

    std::vector<Step> mSteps;
    size_t mintNext = 0;
    const std::chrono::seconds mLimit;
    bool mblnTimedOut = false;
    bool mblnActionQueued = false;  // a step's action waits to run
    QElapsedTimer mElapsed;
    QTimer mTimer;
};

// Actions of a step, on a control of the window found by object name; a
// missing control fails the test.
// Clicks a button.
void Click(QWidget& window, const QString& name);
// Replaces the text of a line edit or plain-text box as if typed.
void Type(QWidget& window, const QString& name, const QString& text);
// Opens the box's list and clicks the item's row, as a user chooses it.
void ChooseInList(QComboBox& box, int item);

}  // namespace TestSupport
