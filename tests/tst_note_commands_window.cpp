#include "item_files.h"
#include "modal.h"

#include "app/main_window.h"

#include <QAction>
#include <QDir>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using ItemFiles::record;

// The four commands driven from the window's menu, through the real dialogs.
class TestNoteCommandsWindow : public QObject {
    Q_OBJECT

private slots:
    void newSaveRenameDeleteFromTheMenu();

private:
    static void answerInput(const QString& text) {
        whenModal([text](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            QVERIFY(input);
            input->setTextValue(text);
            input->accept();
        });
    }
    static void pressInBox(QMessageBox::StandardButton button, QString* text) {
        whenModal([button, text](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box);
            *text = box->text();
            box->button(button)->click();
        });
    }
};

void TestNoteCommandsWindow::newSaveRenameDeleteFromTheMenu() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MainWindow window;
    window.form().DisplayTags();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ML_Selector"));
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    const auto trigger = [&](const char* name) {
        window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    };
    const QString file = dir.filePath(QStringLiteral("zmr.lst"));

    answerInput(QStringLiteral("Shopping"));
    trigger("mnu_New");
    QCOMPARE(ItemFiles::read(file), record("Shopping"));

    list->setCurrentRow(0);
    editor->setPlainText(QStringLiteral("milk\nbread"));
    QString shown;
    pressInBox(QMessageBox::Ok, &shown);
    trigger("mnu_SaveQuote");
    QCOMPARE(ItemFiles::read(file), record("Shopping", "milk\r\nbread"));
    QCOMPARE(shown, QStringLiteral("The text for: Shopping\n...was sucessfully saved!"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Cardisto - 11 bytes"));

    answerInput(QStringLiteral("Groceries"));
    trigger("mnu_rename");
    QCOMPARE(ItemFiles::read(file), record("Groceries", "milk\r\nbread"));
    QCOMPARE(list->item(0)->text(), QStringLiteral("Groceries").leftJustified(60));

    list->setCurrentRow(0);
    pressInBox(QMessageBox::Yes, &shown);
    trigger("mnu_delete");
    QCOMPARE(shown, QStringLiteral("Delete Item: Groceries ?"));
    QCOMPARE(ItemFiles::read(file), QByteArray());
    QCOMPARE(list->count(), 0);
    QDir::setCurrent(previous);
}

QTEST_MAIN(TestNoteCommandsWindow)
#include "tst_note_commands_window.moc"
