#pragma once

class ImageList;
class QToolBar;
class QWidget;
struct CommandActions;

// The toolbar ML_TB1: six command buttons, each with its image above its caption and a tool
// tip, and two separators. The window docks it along the top of the client area.
QToolBar* createCommandToolbar(QWidget* parent, const CommandActions& commands,
                               const ImageList& images);
