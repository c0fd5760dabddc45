#pragma once

#include <QIcon>
#include <QPushButton>

class QWidget;

// The images of the custom-field controls' small buttons, drawn in the
// button text colour so that they follow the user's theme: "add" (a plus)
// and "find" (a magnifying glass).
QIcon ButtonImage(const char* name);

// A square 25 x 25 push button that shows one of these images alone, with
// the key's text as its tip and accessible name.
QPushButton* MakeImageButton(QWidget* parent, const char* objectName, const char* image, const char* tipKey);
