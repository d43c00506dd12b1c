#include "command_toolbar.h"

#include "design_font.h"
#include "image_list.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace {

struct Button {
    const char* key; // none for a separator
    const char* caption = nullptr;
    const char* toolTip = nullptr;
    int image = 0;
    const char* description = nullptr; // stored with the button; nothing reads it
};

} // namespace

QToolBar* createCommandToolbar(QWidget* parent, const ImageList& images) {
    auto* toolbar = new QToolBar(parent);
    toolbar->setObjectName(QStringLiteral("ML_TB1"));
    toolbar->setAccessibleName(QStringLiteral("Toolbar"));
    // The desktop's usual, larger font would push the last buttons out of the design width.
    toolbar->setFont(designFont());
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    const Button buttons[] = {
        {"new", "New", "click to add a new note", 1, "New Quote"},
        {"del", "Delete", "delete currently selected note", 2},
        {"save", "Save", "save currently selected note text", 3},
        {"rename", "Rename", "rename currently selected note", 4},
        {nullptr},
        {"copy", "Copy", "copy note to clipboard", 5},
        {nullptr},
        {"help", "Help", "help?", 6},
    };
    for (const Button& button : buttons) {
        if (!button.key) {
            toolbar->addSeparator();
            continue;
        }
        QAction* action =
            toolbar->addAction(images.image(button.image), QLatin1String(button.caption));
        action->setToolTip(QLatin1String(button.toolTip));
        action->setData(QLatin1String(button.key));
        if (button.description)
            action->setProperty("description", QLatin1String(button.description));
        // Like every toolbar button, it is left out of the tab order.
        toolbar->widgetForAction(action)->setFocusPolicy(Qt::NoFocus);
    }
    // Shown when the window is too narrow for every button.
    if (auto* more = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More commands"));
    return toolbar;
}
