#pragma once

class QWidget;

namespace Platform {

// Brings a window that waits for the user back in front of the others:
// restored when the user had minimized it (raising and activating alone
// leave a minimized window minimized), then raised and activated.
void BringToFront(QWidget& window);

// Brings back every window of the program that waits for an answer (the
// visible modal windows), the one that takes the answer (the active modal
// window) last, so that it ends up in front. False when none waits.
bool BringWaitingWindowsToFront();

}  // namespace Platform
