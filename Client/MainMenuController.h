#pragma once

#include <QAction>
#include <QMenu>

// The application's main menu: its About, Hide and Quit items, which the
// delegate wires to its own actions. The menu has no behaviour of its own.
class MainMenuController {
public:
    MainMenuController();
    MainMenuController(const MainMenuController&) = delete;
    MainMenuController& operator=(const MainMenuController&) = delete;

    // Called once the menu is built; nothing to do.
    void awakeFromNib() {}

    QMenu& menu() { return _menu; }

    QMenu _menu;
    QAction* _aboutMenuItem;
    QAction* _hideMenuItem;
    QAction* _quitMenuItem;
};
