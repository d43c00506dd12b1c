#include "item_files.h"
#include "modal.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "form/message_box_style.h"

#include <QDir>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the procedures that the user starts, counting the clicks in the list.
class CountingWindow : public MainWindow {
public:
    int selectorClicks = 0;

protected:
    void runMenuCommand(MireloftMain::Procedure procedure) override {
        selectorClicks += procedure == &MireloftMain::ML_Selector_Click;
        MainWindow::runMenuCommand(procedure);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void everyClickOnAnEntryLoadsIt();
    void messageBoxKeys_data();
    void messageBoxKeys();
};

// A click on the selected entry must bring back its stored text, once per click; Ctrl must not
// leave the list without a selection; an arrow key that lands on an entry loads it.
void TestMainWindow::everyClickOnAnEntryLoadsIt() {
    QTemporaryDir dir;
    ItemFiles::write(dir.filePath("zmr.lst"), ItemFiles::record("zebra", "stripes") +
                                                  ItemFiles::record("Apple", "  red\r\ngreen  "));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    CountingWindow window;
    window.form().DisplayTags();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto* list = window.findChild<QListView*>(QStringLiteral("ML_Selector"));
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    QCOMPARE(list->model()->rowCount(), 2);
    const QString apple = QStringLiteral("Apple").leftJustified(60);
    QCOMPARE(list->model()->index(0, 0).data().toString(), apple);
    const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(editor->toPlainText(), QStringLiteral("red\ngreen"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Cardisto - 10 bytes"));

    editor->setPlainText(QStringLiteral("edited, not saved"));
    window.setCaption(QStringLiteral("Cardisto"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(editor->toPlainText(), QStringLiteral("red\ngreen"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Cardisto - 10 bytes"));
    QCOMPARE(window.selectorClicks, 2);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
    QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(window.selectorText(), apple);
    QCOMPARE(window.selectorClicks, 3);

    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(editor->toPlainText(), QStringLiteral("stripes"));
    QTest::keyClick(list, Qt::Key_Down); // no entry below the last
    QCOMPARE(window.selectorClicks, 4);
    QDir::setCurrent(previous);
}

void TestMainWindow::messageBoxKeys_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("result");
    using namespace MessageBoxStyle;
    QTest::newRow("304, Enter") << Warning << QList<int>{Qt::Key_Return} << MessageBoxResult::Ok;
    QTest::newRow("304, Escape") << Warning << QList<int>{Qt::Key_Escape} << MessageBoxResult::Ok;
    QTest::newRow("276 defaults to No")
        << ConfirmDanger << QList<int>{Qt::Key_Return} << MessageBoxResult::No;
    QTest::newRow("52 defaults to Yes")
        << Question << QList<int>{Qt::Key_Return} << MessageBoxResult::Yes;
    QTest::newRow("Yes/No ignores Escape")
        << Question << QList<int>{Qt::Key_Escape, Qt::Key_Return} << MessageBoxResult::Yes;
}

void TestMainWindow::messageBoxKeys() {
    QFETCH(int, style);
    QFETCH(QList<int>, keys);
    whenModal([keys](QWidget* box) {
        for (const int key : keys) {
            if (!box->isVisible())
                QFAIL("the box closed before its last key");
            QTest::keyClick(box, Qt::Key(key));
        }
    });
    QTEST(showMessageBox(nullptr, QStringLiteral("text"), style, QStringLiteral("title")),
          "result");
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
