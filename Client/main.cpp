// Quorvel Client: the per-user print-accounting agent.
#include "Client/ApplicationController.h"
#include "Client/CanLaunch.h"
#include "Platform/Qt/ClassicNumbers.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (!CanLaunch())
        return 0;
    QApplication application(argc, argv);
    Platform::KeepClassicNumbers();
    ApplicationController controller(QApplication::applicationDirPath().toStdString());
    return QApplication::exec();
}
