#include "app/main_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

class TestClipboardCopy : public QObject {
    Q_OBJECT

private slots:
    void copiesTheEditorTextAsItStands_data();
    void copiesTheEditorTextAsItStands();
};

void TestClipboardCopy::copiesTheEditorTextAsItStands_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks and line breaks at the ends")
        << QStringLiteral("\r\n  two\r\nlines  \r\n");
    QTest::newRow("longer than an item holds") << QString(2500, QLatin1Char('x'));
    QTest::newRow("no-break space") << QStringLiteral("a\u00A0b");
}

void TestClipboardCopy::copiesTheEditorTextAsItStands() {
    QFETCH(QString, text);
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* earlier = new QMimeData;
    earlier->setHtml(QStringLiteral("<b>earlier</b>"));
    earlier->setData(QStringLiteral("application/x-earlier"), "data");
    clipboard->setMimeData(earlier);

    MainWindow window;
    window.setEditorText(text);
    window.form().mnu_copy_Click();

    QCOMPARE(clipboard->text(), text);
    QCOMPARE(clipboard->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
}

QTEST_MAIN(TestClipboardCopy)
#include "tst_clipboard_copy.moc"
