#include "fake_form.h"

#include "app/main_window.h"
#include "app/toolbar_button.h"

#include <QAccessible>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>

namespace {

// Records what the menus and the toolbar ask of the procedures instead of running them.
class RecordingWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    QList<MireloftMain::Procedure> procedures;
    QStringList keys;

protected:
    void runMenuCommand(MireloftMain::Procedure procedure) override {
        procedures.append(procedure);
    }
    void toolbarButtonClick(const QString& key) override { keys.append(key); }
};

MireloftMain::Procedure procedureNamed(const QString& name) {
    static const QHash<QString, MireloftMain::Procedure> procedures = {
        {QStringLiteral("mnu_New_Click"), &MireloftMain::mnu_New_Click},
        {QStringLiteral("mnu_delete_Click"), &MireloftMain::mnu_delete_Click},
        {QStringLiteral("mnu_rename_Click"), &MireloftMain::mnu_rename_Click},
        {QStringLiteral("mnu_SaveQuote_Click"), &MireloftMain::mnu_SaveQuote_Click},
        {QStringLiteral("mnu_exit_Click"), &MireloftMain::mnu_exit_Click},
        {QStringLiteral("mnu_copy_Click"), &MireloftMain::mnu_copy_Click},
        {QStringLiteral("mnu_contents_Click"), &MireloftMain::mnu_contents_Click},
        {QStringLiteral("mnu_about_Click"), &MireloftMain::mnu_about_Click},
        {QStringLiteral("mnu_www_Click"), &MireloftMain::mnu_www_Click},
    };
    return procedures.value(name);
}

void showAndActivate(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Keys go where the keyboard is: an open menu, else the widget with the focus.
void press(QKeyCombination key) {
    QWidget* target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

} // namespace

class TestWindowCommands : public QObject {
    Q_OBJECT

private slots:
    void routing_data();
    void routing();
    void menuBarAsDesigned();
    void helpTopic_data();
    void helpTopic();
    void editorComesFirstInTheTabOrder();
    void everyCommandHasAnAccessibleName();
};

void TestWindowCommands::routing_data() {
    // "menu": a menu item by name; "toolbar": the toolbar entry at that position, with its
    // caption and tool tip; "key": a key given straight to the toolbar's event procedure.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("procedure"); // empty: none

    for (const auto& [name, procedure] : {
             std::pair{"mnu_New", "mnu_New_Click"},
             {"mnu_delete", "mnu_delete_Click"},
             {"mnu_rename", "mnu_rename_Click"},
             {"mnu_SaveQuote", "mnu_SaveQuote_Click"},
             {"mnu_exit", "mnu_exit_Click"},
             {"mnu_copy", "mnu_copy_Click"},
             {"mnu_contents", "mnu_contents_Click"},
             {"mnu_about", "mnu_about_Click"},
             {"mnu_www", "mnu_www_Click"},
         }) {
        QTest::newRow(name) << "menu" << name << QString() << QString() << procedure;
    }

    QTest::newRow("button 1") << "toolbar"
                              << "0"
                              << "New"
                              << "click to add a new note"
                              << "mnu_New_Click";
    QTest::newRow("button 2") << "toolbar"
                              << "1"
                              << "Delete"
                              << "delete currently selected note"
                              << "mnu_delete_Click";
    QTest::newRow("button 3") << "toolbar"
                              << "2"
                              << "Save"
                              << "save currently selected note text"
                              << "mnu_SaveQuote_Click";
    QTest::newRow("button 4") << "toolbar"
                              << "3"
                              << "Rename"
                              << "rename currently selected note"
                              << "mnu_rename_Click";
    QTest::newRow("separator 5") << "toolbar"
                                 << "4" << QString() << QString() << QString();
    QTest::newRow("button 6") << "toolbar"
                              << "5"
                              << "Copy"
                              << "copy note to clipboard"
                              << "mnu_copy_Click";
    QTest::newRow("separator 7") << "toolbar"
                                 << "6" << QString() << QString() << QString();
    QTest::newRow("button 8") << "toolbar"
                              << "7"
                              << "Help"
                              << "help?"
                              << "mnu_contents_Click";

    for (const char* key : {"New", "HELP", "delete", "save ", " copy", ""})
        QTest::newRow(qPrintable(QStringLiteral("key \"%1\"").arg(QLatin1String(key))))
            << "key" << key << QString() << QString() << QString();
}

void TestWindowCommands::routing() {
    QFETCH(QString, kind);
    QFETCH(QString, which);
    QFETCH(QString, procedure);
    const MireloftMain::Procedure expected = procedureNamed(procedure);
    QCOMPARE(procedure.isEmpty(), expected == nullptr);

    if (kind == u"key") {
        QVERIFY(MireloftMain::toolbarProcedure(which) == nullptr);
        return;
    }
    RecordingWindow window;
    showAndActivate(window);

    if (kind == u"menu") {
        auto* action = window.findChild<QAction*>(which);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(window.procedures.size(), 1);
        QVERIFY(window.procedures.first() == expected);
        QVERIFY(window.keys.isEmpty());
        return;
    }

    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("ML_TB1"));
    QCOMPARE(toolbar->actions().size(), 8);
    QAction* entry = toolbar->actions().at(which.toInt());
    QWidget* widget = toolbar->widgetForAction(entry);
    QTest::mouseClick(widget, Qt::LeftButton);
    // A button reaches its procedure only through its key, never also through its menu item.
    QVERIFY(window.procedures.isEmpty());
    if (!expected) {
        QVERIFY(entry->isSeparator());
        QVERIFY(window.keys.isEmpty());
        return;
    }
    auto* button = qobject_cast<ToolbarButton*>(widget);
    QVERIFY(button);
    QTEST(button->text(), "caption");
    QTEST(button->toolTip(), "toolTip");
    QVERIFY(!button->icon().isNull());
    QCOMPARE(window.keys, QStringList{button->key()});
    QVERIFY(MireloftMain::toolbarProcedure(button->key()) == expected);
}

void TestWindowCommands::menuBarAsDesigned() {
    MainWindow window;
    QStringList menus;
    auto describe = [&menus](const QAction* action, const QString& indent) {
        menus << indent + action->objectName() + ' ' + action->text() +
                     (action->menu() ? QStringLiteral(" >") : QString());
        QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
        QVERIFY(action->shortcut().isEmpty());
    };
    for (const QAction* entry : window.menuBar()->actions()) {
        describe(entry, QString());
        if (entry->menu()) {
            for (const QAction* item : entry->menu()->actions())
                describe(item, QStringLiteral("  "));
        }
    }
    const QStringList expected = {
        "mnu_file &File >",
        "  mnu_New New Item",
        "  mnu_delete Delete Item",
        "  mnu_rename Rename",
        "  mun_line1 ",
        "  mnu_SaveQuote Save Quote",
        "  mnu_line2 ",
        "  mnu_exit E&xit",
        "mnu_copy &Copy",
        "mnu_help &Help >",
        "  mnu_contents Contents",
        "  mnu_about About",
        "mnu_www Visit &cardisto.org",
    };
    QCOMPARE(menus, expected);
    QVERIFY(window.findChild<QAction*>(QStringLiteral("mun_line1"))->isSeparator());
    QVERIFY(window.findChild<QAction*>(QStringLiteral("mnu_line2"))->isSeparator());
}

void TestWindowCommands::helpTopic_data() {
    QTest::addColumn<QString>("focus"); // the control to focus first, if any
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<int>("topic");

    const QKeyCombination altF(Qt::AltModifier, Qt::Key_F);
    const QKeyCombination altH(Qt::AltModifier, Qt::Key_H);
    QTest::newRow("list") << "ML_Selector" << QList<QKeyCombination>{} << 10;
    QTest::newRow("editor") << "ML_Editor" << QList<QKeyCombination>{} << 10;
    QTest::newRow("File menu open") << QString() << QList<QKeyCombination>{altF} << 210;
    QTest::newRow("File item highlighted")
        << QString() << QList<QKeyCombination>{altF, Qt::Key_Down, Qt::Key_Down} << 210;
    QTest::newRow("File on the menu bar")
        << QString() << QList<QKeyCombination>{altF, Qt::Key_Escape} << 210;
    QTest::newRow("Copy on the menu bar")
        << QString() << QList<QKeyCombination>{altF, Qt::Key_Right} << 220;
    QTest::newRow("Help menu open") << QString() << QList<QKeyCombination>{altH} << 230;
    QTest::newRow("Help on the menu bar")
        << QString() << QList<QKeyCombination>{altH, Qt::Key_Escape} << 230;
    QTest::newRow("Help item highlighted")
        << QString() << QList<QKeyCombination>{altH, Qt::Key_Down} << 230;
    QTest::newRow("web-site entry")
        << QString() << QList<QKeyCombination>{altH, Qt::Key_Right} << 10;
}

void TestWindowCommands::helpTopic() {
    QFETCH(QString, focus);
    QFETCH(QList<QKeyCombination>, keys);
    FakeDesktop desktop;
    MainWindow window(desktop);
    window.form().HelpFile = QStringLiteral("Kevra.hlp");
    showAndActivate(window);
    if (!focus.isEmpty())
        window.findChild<QWidget*>(focus)->setFocus();
    for (const QKeyCombination key : keys)
        press(key);
    press(Qt::Key_F1);

    QCOMPARE(desktop.started.size(), 1);
    const QStringList arguments = desktop.started.first().arguments;
    QCOMPARE(arguments.size(), 3);
    QCOMPARE(arguments.at(0), QStringLiteral("--topic"));
    QTEST(arguments.at(1).toInt(), "topic");
    QCOMPARE(arguments.at(2), QStringLiteral("Kevra.hlp"));
    QVERIFY(!QApplication::activePopupWidget());
}

void TestWindowCommands::editorComesFirstInTheTabOrder() {
    MainWindow window;
    showAndActivate(window);
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    QCOMPARE(QApplication::focusWidget(), editor);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.findChild<QListWidget*>("ML_Selector"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor);
    QCOMPARE(editor->toPlainText(), QString());
}

// Screen readers and UI automation find every command by the name it shows.
void TestWindowCommands::everyCommandHasAnAccessibleName() {
    MainWindow window;
    showAndActivate(window);
    QStringList menuItems, buttons, controls;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        const QString name = node->text(QAccessible::Name);
        switch (node->role()) {
        case QAccessible::MenuItem:
            menuItems << name;
            break;
        case QAccessible::Button:
            buttons << name;
            break;
        case QAccessible::List:
        case QAccessible::EditableText:
        case QAccessible::ToolBar:
            controls << name;
            break;
        default:
            break;
        }
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    QCOMPARE(menuItems,
             (QStringList{"File", "New Item", "Delete Item", "Rename", "Save Quote", "Exit", "Copy",
                          "Help", "Contents", "About", "Visit cardisto.org"}));
    QCOMPARE(buttons, (QStringList{"New", "Delete", "Save", "Rename", "Copy", "Help"}));
    QCOMPARE(controls, (QStringList{"Toolbar", "Items", "Note text"}));
}

QTEST_MAIN(TestWindowCommands)
#include "tst_window_commands.moc"
