#include "Client/Login/ModalWindow.h"

#include <QDialog>

namespace Login {

void RunModal(QDialog& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    window.exec();
}

}  // namespace Login
