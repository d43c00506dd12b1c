#pragma once

class ImageList;
class QToolBar;
class QWidget;

// The toolbar ML_TB1: six command buttons, each with its image above its caption and a tool
// tip, and two separators. Each button's action carries its key (QAction::data), by which the
// toolbar's one event procedure tells the buttons apart. The window docks it along the top of
// the client area.
QToolBar* createCommandToolbar(QWidget* parent, const ImageList& images);
