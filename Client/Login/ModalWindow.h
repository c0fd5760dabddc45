#pragma once

class QDialog;

namespace Login {

// Shows the window in front of the others, modal as it is set to be, and
// returns when it has closed.
void RunModal(QDialog& window);

}  // namespace Login
