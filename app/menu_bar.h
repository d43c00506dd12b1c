#pragma once

class QAction;
class QMenuBar;

// The window's commands, one QAction each, named after their menu items. The menu bar holds
// them all; the toolbar shows six of them again.
struct CommandActions {
    QAction* mnu_New = nullptr;
    QAction* mnu_delete = nullptr;
    QAction* mnu_rename = nullptr;
    QAction* mnu_SaveQuote = nullptr;
    QAction* mnu_exit = nullptr;
    QAction* mnu_copy = nullptr;
    QAction* mnu_contents = nullptr;
    QAction* mnu_about = nullptr;
    QAction* mnu_www = nullptr;
};

// Fills the menu bar with the File menu, Copy, the Help menu and the web-site entry, in that
// order. Copy and the web-site entry carry out their command at once; they open no menu.
CommandActions buildMenuBar(QMenuBar* bar);
