#include "item_files.h"
#include "modal.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "form/message_box_style.h"

#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void selectingAnEntryShowsItsText();
    void messageBoxKeys_data();
    void messageBoxKeys();
};

void TestMainWindow::selectingAnEntryShowsItsText() {
    QTemporaryDir dir;
    ItemFiles::write(dir.filePath("zmr.lst"), ItemFiles::record("zebra", "stripes") +
                                                  ItemFiles::record("Apple", "  red\r\ngreen  "));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MainWindow window;
    window.form().DisplayTags();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto* list = window.findChild<QListWidget*>(QStringLiteral("ML_Selector"));
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Apple").leftJustified(60));
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());

    QCOMPARE(editor->toPlainText(), QStringLiteral("red\ngreen"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Cardisto - 10 bytes"));
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
