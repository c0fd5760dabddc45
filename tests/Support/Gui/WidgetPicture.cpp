#include "tests/Support/Gui/WidgetPicture.h"

#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <filesystem>

namespace TestSupport {

std::string SaveWidgetPicture(QWidget& widget, const std::string& name)
{
    const char* folder = std::getenv("CVK_PICTURE_DIR");
    std::filesystem::path path = folder != nullptr && folder[0] != '\0' ? folder : CVK_PICTURE_DIR;
    std::error_code error;
    std::filesystem::create_directories(path, error);
    path /= name + ".png";
    if (!widget.grab().save(QString::fromStdString(path.string()), "PNG"))
        return std::string();
    return path.string();
}

}  // namespace TestSupport
