// Uninstall's window in each of its states: ready, running, done and failed.
#include "tests/Screenshots/Screenshots.h"

#include "Uninstaller/AppDelegate.h"
#include "Uninstaller/UninstallWindow.h"

namespace {

using StateShower = void (AppDelegate::*)();

// The window with its delegate (which the window owns), in one state.
Screenshots::WindowMaker InState(StateShower show)
{
    return [show] {
        auto window = std::make_unique<UninstallWindow>();
        auto* delegate = new AppDelegate(*window, window.get());
        delegate->awakeFromNib();
        (delegate->*show)();
        return std::unique_ptr<QWidget>(std::move(window));
    };
}

const Screenshots::Registration kReady("uninstall-ready", InState(&AppDelegate::showReadyState));
const Screenshots::Registration kRunning("uninstall-running", InState(&AppDelegate::showRunningState));
const Screenshots::Registration kDone("uninstall-done", InState(&AppDelegate::showDoneState));
const Screenshots::Registration kFailed("uninstall-failed", InState(&AppDelegate::showFailedState));

}  // namespace
