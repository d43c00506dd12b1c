#include "app/command_toolbar.h"

#include "app/design_font.h"
#include "app/image_list.h"
#include "app/menu_bar.h"
#include "app/toolbar_button.h"

#include <QAction>
#include <QToolBar>

namespace {

struct Button {
    const char* key; // none for a separator
    QAction* command = nullptr;
    const char* caption = nullptr;
    const char* toolTip = nullptr;
    int image = 0;
    const char* description = nullptr; // stored with the button; nothing reads it
};

} // namespace

QToolBar* createCommandToolbar(QWidget* parent, const CommandActions& commands,
                               const ImageList& images) {
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
        {"new", commands.mnu_New, "New", "click to add a new note", 1, "New Quote"},
        {"del", commands.mnu_delete, "Delete", "delete currently selected note", 2},
        {"save", commands.mnu_SaveQuote, "Save", "save currently selected note text", 3},
        {"rename", commands.mnu_rename, "Rename", "rename currently selected note", 4},
        {nullptr},
        {"copy", commands.mnu_copy, "Copy", "copy note to clipboard", 5},
        {nullptr},
        {"help", commands.mnu_contents, "Help", "help?", 6},
    };
    for (const Button& button : buttons) {
        if (!button.key) {
            toolbar->addSeparator();
            continue;
        }
        button.command->setIconText(QLatin1String(button.caption));
        button.command->setToolTip(QLatin1String(button.toolTip));
        auto* widget = new ToolbarButton(QLatin1String(button.key), button.command,
                                         images.image(button.image), toolbar);
        widget->setIconSize(toolbar->iconSize());
        widget->setToolButtonStyle(toolbar->toolButtonStyle());
        if (button.description)
            widget->setProperty("description", QLatin1String(button.description));
        toolbar->addWidget(widget);
    }
    return toolbar;
}
