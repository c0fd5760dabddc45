#pragma once

#include <string>
#include <vector>

class QWidget;

namespace TestSupport {

// What a person would see wrong in the layout of a window as it is shown:
// a window larger than its screen's room, a widget that lies outside its
// parent, two sibling widgets that overlap, a text that its label, button or
// field clips (a label that cuts its text with "…" and shows it whole in its
// tooltip is not clipped), a field too low for its font. One line per fault, naming the widgets; empty when none.
// The parts inside Qt's own composite widgets (a combo box's text field, a
// table's viewport) are theirs to lay out and are not looked at. What a
// scroll area scrolls is judged within its content widget, which must
// scroll to its end both ways.
std::vector<std::string> LayoutProblems(const QWidget& window);

}  // namespace TestSupport
