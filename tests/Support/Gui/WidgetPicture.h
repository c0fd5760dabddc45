#pragma once

#include <string>

class QWidget;

namespace TestSupport {

// Renders a widget as it is shown to a PNG file named "<name>.png" in the
// pictures folder (the environment variable CVK_PICTURE_DIR, else the
// build's "pictures" folder), for a person to look at. Answers the file's
// path, or an empty text when it could not be written.
std::string SaveWidgetPicture(QWidget& widget, const std::string& name);

}  // namespace TestSupport
