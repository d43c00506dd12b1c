#include "unprivileged.h"

#include "help/viewer/help_arguments.h"
#include "help/viewer/help_file_lookup.h"
#include "help/viewer/help_topics.h"
#include "help/viewer/help_window.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

class TestHelpViewer : public QObject {
    Q_OBJECT

private slots:
    void parsesArguments_data();
    void parsesArguments();
    void findsTheFileInAnySpelling_data();
    void findsTheFileInAnySpelling();
    void opensEachTopicOfTheShippedFile_data();
    void opensEachTopicOfTheShippedFile();
    void unknownTopicIsRefused();
    void unreadableFileIsReported();
};

void TestHelpViewer::parsesArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("topic"); // -1: none
    QTest::addColumn<QString>("error");
    QTest::newRow("file") << QStringList{"kevra.hlp"} << "kevra.hlp" << -1 << "";
    QTest::newRow("topic") << QStringList{"--topic", "210", "Kevra.hlp"} << "Kevra.hlp" << 210
                           << "";
    QTest::newRow("no file") << QStringList{"--topic", "10"} << "" << -1 << "No help file";
    QTest::newRow("two files") << QStringList{"a", "b"} << "" << -1 << "Only one";
    QTest::newRow("topic not a number") << QStringList{"--topic", "x", "a"} << "" << -1 << "\"x\"";
    QTest::newRow("unknown option") << QStringList{"--top", "1", "a"} << "" << -1 << "top";
}

void TestHelpViewer::parsesArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(int, topic);
    QFETCH(QString, error);
    const HelpArguments parsed = parseHelpArguments(QStringList{"cardisto-help"} + arguments);
    QTEST(parsed.file, "file");
    QCOMPARE(parsed.topic.value_or(-1), topic);
    QVERIFY2(error.isEmpty() ? parsed.error.isEmpty() : parsed.error.contains(error),
             qPrintable(parsed.error));
}

void TestHelpViewer::findsTheFileInAnySpelling_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found"); // empty: none
    const QStringList shipped{"kevra.hlp"};
    QTest::newRow("exact") << shipped << "kevra.hlp"
                           << "kevra.hlp";
    QTest::newRow("capitalised") << shipped << "Kevra.hlp"
                                 << "kevra.hlp";
    QTest::newRow("in a folder") << QStringList{"sub/kevra.hlp"} << "sub/KEVRA.HLP"
                                 << "sub/kevra.hlp";
    QTest::newRow("exact spelling wins") << QStringList{"kevra.hlp", "Kevra.hlp"} << "Kevra.hlp"
                                         << "Kevra.hlp";
    QTest::newRow("missing") << shipped << "other.hlp"
                             << "";
    QTest::newRow("no wildcards") << shipped << "*.hlp"
                                  << "";
}

void TestHelpViewer::findsTheFileInAnySpelling() {
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    QTemporaryDir dir;
    for (const QString& file : files) {
        QDir(dir.path()).mkpath(QFileInfo(file).path());
        QFile(dir.filePath(file)).open(QIODevice::WriteOnly);
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFETCH(QString, name);
    const std::optional<QString> result = findHelpFile(name);
    QDir::setCurrent(previous);
    QCOMPARE(result.value_or(QString()), found.isEmpty() ? QString() : dir.filePath(found));
}

void TestHelpViewer::opensEachTopicOfTheShippedFile_data() {
    QTest::addColumn<int>("topic");
    QTest::addColumn<QString>("heading");
    QTest::newRow("window") << 10 << "The window, the list and the editor";
    QTest::newRow("File") << 210 << "The File menu";
    QTest::newRow("Copy") << 220 << "Copy";
    QTest::newRow("Help") << 230 << "The Help menu";
}

void TestHelpViewer::opensEachTopicOfTheShippedFile() {
    QFETCH(int, topic);
    // F1 names the file "Kevra.hlp"; what is shipped is "kevra.hlp".
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(CARDISTO_OUTPUT_DIR));
    const std::optional<QString> path = findHelpFile(QStringLiteral("Kevra.hlp"));
    QDir::setCurrent(previous);
    QVERIFY(path);

    HelpWindow window;
    window.resize(400, 250);
    QString error;
    QVERIFY2(window.load(*path, error), qPrintable(error));
    QVERIFY(window.showTopic(topic));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The topic's heading stands in view.
    QTextBrowser* browser = window.browser();
    const QTextBlock block = findAnchor(*browser->document(), topicAnchor(topic));
    QVERIFY(block.isValid());
    QFETCH(QString, heading);
    QCOMPARE(block.text().trimmed(), heading);
    const qreal top = browser->document()->documentLayout()->blockBoundingRect(block).top() -
                      browser->verticalScrollBar()->value();
    QVERIFY2(top >= 0 && top < browser->viewport()->height(), qPrintable(QString::number(top)));
}

void TestHelpViewer::unknownTopicIsRefused() {
    HelpWindow window;
    QString error;
    QVERIFY(window.load(QStringLiteral(CARDISTO_OUTPUT_DIR "/kevra.hlp"), error));
    QVERIFY(!window.showTopic(999));
}

void TestHelpViewer::unreadableFileIsReported() {
    QTemporaryDir dir;
    const QString path = dir.filePath("kevra.hlp");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QFile::setPermissions(path, QFile::WriteOwner);
    HelpWindow window;
    QString error;
    Unprivileged unprivileged;
    QVERIFY(!window.load(path, error));
    QVERIFY2(error.contains(path) && error.contains("Permission denied"), qPrintable(error));
}

QTEST_MAIN(TestHelpViewer)
#include "tst_help_viewer.moc"
