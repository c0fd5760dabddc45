#include "Client/MainMenuController.h"

#include "Platform/Qt/LocalizedStrings.h"

using Platform::LocalizedStrings;

MainMenuController::MainMenuController()
    : _aboutMenuItem(_menu.addAction(QString())),
      _hideMenuItem(_menu.addAction(LocalizedStrings::Text(QStringLiteral("Client_Main_Hide_Menu_Text")))),
      _quitMenuItem(_menu.addAction(LocalizedStrings::Text(QStringLiteral("Client_Main_Quit_Menu_Text"))))
{
    _menu.setObjectName(QStringLiteral("MainMenu"));
    _aboutMenuItem->setObjectName(QStringLiteral("_aboutMenuItem"));
    _hideMenuItem->setObjectName(QStringLiteral("_hideMenuItem"));
    _quitMenuItem->setObjectName(QStringLiteral("_quitMenuItem"));
    awakeFromNib();
}
