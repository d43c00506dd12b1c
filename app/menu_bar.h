#pragma once

class QMenuBar;

// Fills the menu bar with the File menu, Copy, the Help menu and the web-site entry, in that
// order, each command a QAction named after its menu item. Copy and the web-site entry carry out
// their command at once; they open no menu.
void buildMenuBar(QMenuBar* bar);
