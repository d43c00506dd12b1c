#include "menu_bar.h"

#include "context_help.h"
#include "home_page.h"

#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addItem(QWidget* place, const char* name, const QString& caption) {
    auto* action = new QAction(caption, place);
    action->setObjectName(QLatin1String(name));
    place->addAction(action);
    return action;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption, int helpTopic) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    setHelpTopic(menu->menuAction(), helpTopic);
    return menu;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

} // namespace

void buildMenuBar(QMenuBar* bar) {
    // A desktop-wide menu bar would drop the two entries that are commands, not menus.
    bar->setNativeMenuBar(false);

    QMenu* file = addMenu(bar, "mnu_file", QStringLiteral("&File"), HelpTopic::File);
    addItem(file, "mnu_New", QStringLiteral("New Item"));
    addItem(file, "mnu_delete", QStringLiteral("Delete Item"));
    addItem(file, "mnu_rename", QStringLiteral("Rename"));
    addSeparator(file, "mun_line1");
    addItem(file, "mnu_SaveQuote", QStringLiteral("Save Quote"));
    addSeparator(file, "mnu_line2");
    addItem(file, "mnu_exit", QStringLiteral("E&xit"));

    setHelpTopic(addItem(bar, "mnu_copy", QStringLiteral("&Copy")), HelpTopic::Copy);

    QMenu* help = addMenu(bar, "mnu_help", QStringLiteral("&Help"), HelpTopic::Help);
    addItem(help, "mnu_contents", QStringLiteral("Contents"));
    addItem(help, "mnu_about", QStringLiteral("About"));

    addItem(bar, "mnu_www", QStringLiteral("Visit &") + webSiteName());
}
