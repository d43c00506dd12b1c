#include "fake_form.h"

#include "main_window.h"

#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <tuple>

using Procedure = MireloftMain::Procedure;
Q_DECLARE_METATYPE(Procedure)

namespace {

// Records what the menus and the toolbar ask of the procedures instead of running them.
class RecordingWindow : public MainWindow {
public:
    QList<Procedure> procedures;
    QStringList keys;

protected:
    void runMenuCommand(Procedure procedure) override { procedures.append(procedure); }
    void toolbarButtonClick(const QString& key) override { keys.append(key); }
};

void showAndActivate(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Keys go where the keyboard is: an open menu, else the widget with the focus.
void press(QKeyCombination key) {
    QWidget* target = QApplication::activePopupWidget();
    QTest::keyClick(target ? target : QApplication::focusWidget(), key.key(),
                    key.keyboardModifiers());
}

} // namespace

class TestWindowCommands : public QObject {
    Q_OBJECT

private slots:
    void routing_data();
    void routing();
    void helpTopic_data();
    void helpTopic();
    void editorComesFirstInTheTabOrder();
    void longParagraphsBreakAnywhere_data();
    void longParagraphsBreakAnywhere();
};

void TestWindowCommands::routing_data() {
    // "menu": a menu item by name; "toolbar": the toolbar entry at that position; "key": a key
    // given straight to the toolbar's event procedure.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("which");
    QTest::addColumn<Procedure>("procedure");
    using M = MireloftMain;
    const std::tuple<const char*, const char*, const char*, Procedure> rows[] = {
        {"New Item", "menu", "mnu_New", &M::mnu_New_Click},
        {"Delete Item", "menu", "mnu_delete", &M::mnu_delete_Click},
        {"Rename", "menu", "mnu_rename", &M::mnu_rename_Click},
        {"Save Quote", "menu", "mnu_SaveQuote", &M::mnu_SaveQuote_Click},
        {"Exit", "menu", "mnu_exit", &M::mnu_exit_Click},
        {"Copy", "menu", "mnu_copy", &M::mnu_copy_Click},
        {"Contents", "menu", "mnu_contents", &M::mnu_contents_Click},
        {"About", "menu", "mnu_about", &M::mnu_about_Click},
        {"web site", "menu", "mnu_www", &M::mnu_www_Click},
        {"New button", "toolbar", "0", &M::mnu_New_Click},
        {"Delete button", "toolbar", "1", &M::mnu_delete_Click},
        {"Save button", "toolbar", "2", &M::mnu_SaveQuote_Click},
        {"Rename button", "toolbar", "3", &M::mnu_rename_Click},
        {"first separator", "toolbar", "4", nullptr},
        {"Copy button", "toolbar", "5", &M::mnu_copy_Click},
        {"second separator", "toolbar", "6", nullptr},
        {"Help button", "toolbar", "7", &M::mnu_contents_Click},
    };
    for (const auto& [name, kind, which, procedure] : rows)
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(which) << procedure;
    for (const char* key : {"New", "HELP", "delete", "save ", ""})
        QTest::newRow(key) << "key" << key << Procedure();
}

void TestWindowCommands::routing() {
    QFETCH(QString, kind);
    QFETCH(QString, which);
    QFETCH(Procedure, procedure);
    if (kind == u"key") {
        QVERIFY(MireloftMain::toolbarProcedure(which) == procedure);
        return;
    }
    RecordingWindow window;
    showAndActivate(window);
    if (kind == u"menu") {
        window.findChild<QAction*>(which)->trigger();
        QCOMPARE(window.procedures.size(), 1);
        QVERIFY(window.procedures.first() == procedure);
        QVERIFY(window.keys.isEmpty());
        return;
    }
    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("ML_TB1"));
    QCOMPARE(toolbar->actions().size(), 8);
    QWidget* entry = toolbar->widgetForAction(toolbar->actions().at(which.toInt()));
    QTest::mouseClick(entry, Qt::LeftButton);
    // A button reaches its procedure through its key only, never also through its menu item.
    QVERIFY(window.procedures.isEmpty());
    auto* button = qobject_cast<QToolButton*>(entry);
    const QString key = button ? button->defaultAction()->data().toString() : QString();
    QCOMPARE(window.keys, button ? QStringList{key} : QStringList());
    QVERIFY(!button || MireloftMain::toolbarProcedure(key) == procedure);
    QCOMPARE(button != nullptr, procedure != nullptr);
}

void TestWindowCommands::helpTopic_data() {
    QTest::addColumn<QString>("focus"); // the control to focus first, if any
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<int>("topic");
    const QKeyCombination altF(Qt::AltModifier, Qt::Key_F);
    const QKeyCombination altH(Qt::AltModifier, Qt::Key_H);
    using Keys = QList<QKeyCombination>;
    QTest::newRow("list") << "ML_Selector" << Keys{} << 10;
    QTest::newRow("editor") << "ML_Editor" << Keys{} << 10;
    QTest::newRow("File menu open") << QString() << Keys{altF} << 210;
    QTest::newRow("File item highlighted") << QString() << Keys{altF, Qt::Key_Down} << 210;
    QTest::newRow("Copy on the menu bar") << QString() << Keys{altF, Qt::Key_Right} << 220;
    QTest::newRow("Help on the menu bar") << QString() << Keys{altH, Qt::Key_Escape} << 230;
    QTest::newRow("Help item highlighted") << QString() << Keys{altH, Qt::Key_Down} << 230;
    QTest::newRow("web-site entry") << QString() << Keys{altH, Qt::Key_Right} << 10;
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
    QCOMPARE(arguments.size(), 5);
    QCOMPARE(arguments.at(0), QStringLiteral("--near")); // beside the window, wherever it is
    QCOMPARE(arguments.at(2), QStringLiteral("--topic"));
    QTEST(arguments.at(3).toInt(), "topic");
    QCOMPARE(arguments.at(4), QStringLiteral("Kevra.hlp"));
    QVERIFY(!QApplication::activePopupWidget());
}

void TestWindowCommands::editorComesFirstInTheTabOrder() {
    MainWindow window;
    showAndActivate(window);
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    QCOMPARE(QApplication::focusWidget(), editor);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.findChild<QListView*>("ML_Selector"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor);
    QCOMPARE(editor->toPlainText(), QString());
}

// A paragraph without break opportunities takes word wrap time in the square of its length, so a
// long one breaks anywhere; text of an item's size keeps word wrap, and gets it back.
void TestWindowCommands::longParagraphsBreakAnywhere_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("wrap");
    const int words = QTextOption::WrapAtWordBoundaryOrAnywhere,
              anywhere = QTextOption::WrapAnywhere;
    QTest::newRow("an item's text of words") << QString("word ").repeated(400) << words;
    QTest::newRow("10,000 characters, no break") << QString(10000, 'x') << words;
    QTest::newRow("10,001 characters, no break") << QString(10001, 'x') << anywhere;
    QTest::newRow("a million in lines") << (QString(99, 'x') + '\n').repeated(10000) << words;
    QTest::newRow("a million in one line") << QString(1000000, 'x') << anywhere;
    QTest::newRow("one long line among short ones")
        << QString("line\n").repeated(100) + QString(20000, 'x') + QString("\nline").repeated(100)
        << anywhere;
}

void TestWindowCommands::longParagraphsBreakAnywhere() {
    MainWindow window;
    showAndActivate(window);
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    QFETCH(QString, pasted);
    editor->insertPlainText(pasted);
    QTEST(int(editor->wordWrapMode()), "wrap");
    editor->selectAll();
    editor->insertPlainText(QStringLiteral("typed over"));
    QCOMPARE(editor->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

QTEST_MAIN(TestWindowCommands)
#include "tst_window_commands.moc"
