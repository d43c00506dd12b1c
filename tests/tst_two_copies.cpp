#include "fake_form.h"
#include "item_files.h"

#include "commands/delete_item.h"
#include "form/mireloft_main.h"
#include "store/note_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <iostream>
#include <string>

using ItemFiles::record;

namespace {

// One command of one copy: "delete TAG", "new NAME", "save TAG TEXT" or "rename TAG NAME".
using Command = QStringList;

constexpr int Records = 2000;
// A sanitized build runs fewer: it looks for memory faults, not for the race's odds. More for a
// longer run: CARDISTO_RACE_TRIALS=100.
#ifdef __SANITIZE_ADDRESS__
constexpr int DefaultTrials = 4;
#else
constexpr int DefaultTrials = 10;
#endif
const int TrialsPerPair = qEnvironmentVariableIntValue("CARDISTO_RACE_TRIALS") > 0
                              ? qEnvironmentVariableIntValue("CARDISTO_RACE_TRIALS")
                              : DefaultTrials;

QByteArray initialItems() {
    QByteArray items;
    for (int n = 1; n <= Records; ++n) {
        QByteArray tag = "item " + QByteArray::number(n);
        if (n == 1)
            tag = "victim";
        else if (n == Records / 2)
            tag = "other victim";
        else if (n == 3)
            tag = "note";
        else if (n == 4)
            tag = "old name";
        items += record(tag, "text of " + QByteArray::number(n));
    }
    return items;
}

// What the file holds once the command has done its work on `items`.
QList<QByteArray> applied(QList<QByteArray> items, const Command& command) {
    const auto tagOf = [](const QByteArray& item) {
        return item.first(60).trimmed();
    };
    const auto first = [&](const QString& tag) {
        return std::find_if(items.begin(), items.end(),
                            [&](const QByteArray& item) { return tagOf(item) == tag.toLatin1(); });
    };
    if (command[0] == "delete")
        items.removeIf(
            [&](const QByteArray& item) { return tagOf(item) == command[1].toLatin1(); });
    else if (command[0] == "new")
        items.append(record(command[1].toLatin1()));
    else if (command[0] == "save")
        first(command[1])->replace(62, 2000, command[2].toLatin1().leftJustified(2000));
    else
        first(command[1])->replace(0, 60, command[2].toLatin1().leftJustified(60));
    return items;
}

QList<QByteArray> sortedRecords(const QByteArray& bytes) {
    QList<QByteArray> items;
    for (qsizetype at = 0; at + NoteRecord::Size <= bytes.size(); at += NoteRecord::Size)
        items.append(bytes.sliced(at, NoteRecord::Size));
    if (bytes.size() % NoteRecord::Size != 0)
        items.append("<fragment>");
    std::sort(items.begin(), items.end());
    return items;
}

// The child: a copy with the command's tag selected waits for the word to go, runs its one
// command and prints the message boxes it showed.
int runCopy(const Command& command) {
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form(view, desktop);
    view.items = {command.value(1).leftJustified(60)};
    view.selected = 0;
    view.boxAnswers.enqueue(MessageBoxResult::Yes);
    view.inputAnswers.enqueue(command.value(command[0] == "new" ? 1 : 2));
    view.editor = command.value(2);
    std::cout << "ready" << std::endl;
    std::string delay;
    std::getline(std::cin, delay);
    QThread::usleep(std::stoul(delay));
    if (command[0] == "delete")
        form.mnu_delete_Click();
    else if (command[0] == "new")
        form.mnu_New_Click();
    else if (command[0] == "save")
        form.mnu_SaveQuote_Click();
    else
        form.mnu_rename_Click();
    std::cout << qPrintable(view.boxes.join('\n')) << std::endl;
    return 0;
}

} // namespace

// Two copies of the program working on one file at the same moment must not undo each other's
// changes without a word: a deletion copying the file while the other copy appends or rewrites a
// record, or two deletions sharing one temporary file, lost changes and reported success.
class TestTwoCopies : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void bothChangesSurvive_data();
    void bothChangesSurvive();

private:
    QTemporaryDir m_dir;
    QByteArray m_items = initialItems();
    qint64 m_deleteMicros = 0;
};

void TestTwoCopies::initTestCase() {
    QDir::setCurrent(m_dir.path());
    // Offsets are drawn within one deletion's time, where the copies overlap.
    ItemFiles::write("zmr.lst", m_items);
    QElapsedTimer timer;
    timer.start();
    NoteRecord buffer;
    removeTaggedRecords(QStringLiteral("victim").leftJustified(60), buffer);
    m_deleteMicros = timer.nsecsElapsed() / 1000;
}

void TestTwoCopies::bothChangesSurvive_data() {
    QTest::addColumn<Command>("first");
    QTest::addColumn<Command>("second");
    const Command remove{"delete", "victim"};
    QTest::newRow("Delete, Delete") << remove << Command{"delete", "other victim"};
    QTest::newRow("Delete, New") << remove << Command{"new", "fresh"};
    QTest::newRow("Delete, Save") << remove << Command{"save", "note", "saved text"};
    QTest::newRow("Delete, Rename") << remove << Command{"rename", "old name", "new name"};
    QTest::newRow("New, New") << Command{"new", "fresh"} << Command{"new", "also fresh"};
}

void TestTwoCopies::bothChangesSurvive() {
    QFETCH(Command, first);
    QFETCH(Command, second);
    int refused = 0, failed = 0, lost = 0;
    for (int trial = 0; trial < TrialsPerPair; ++trial) {
        ItemFiles::write("zmr.lst", m_items);
        QProcess copies[2];
        const Command commands[2] = {first, second};
        for (int i = 0; i < 2; ++i) {
            copies[i].start(QCoreApplication::applicationFilePath(),
                            QStringList{"--copy"} + commands[i]);
            QVERIFY(copies[i].waitForReadyRead(10000));
            QCOMPARE(copies[i].readLine(), "ready\n");
        }
        // Either copy may start first, by up to one deletion's time.
        const qint64 lead = QRandomGenerator::global()->bounded(m_deleteMicros + 1);
        const int late = trial % 2;
        copies[late].write(QByteArray::number(lead) + '\n');
        copies[1 - late].write("0\n");
        for (QProcess& copy : copies)
            QVERIFY(copy.waitForBytesWritten(10000)); // sent now, not when the other has ended
        QList<QByteArray> expected = sortedRecords(m_items);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(copies[i].waitForFinished(20000));
            const QString boxes = QString::fromUtf8(copies[i].readAllStandardOutput());
            if (boxes.contains("Another copy of Cardisto")) {
                ++refused;
                continue;
            }
            if (boxes.contains("|16")) {
                ++failed;
                qWarning("%s", qPrintable(boxes));
            }
            expected = applied(expected, commands[i]);
        }
        std::sort(expected.begin(), expected.end());
        if (sortedRecords(ItemFiles::read("zmr.lst")) != expected)
            ++lost;
    }
    const QByteArray summary = QStringLiteral("%1 trials: %2 commands refused as busy, %3 failed, "
                                              "%4 trials lost a change")
                                   .arg(TrialsPerPair)
                                   .arg(refused)
                                   .arg(failed)
                                   .arg(lost)
                                   .toUtf8();
    qInfo("%s", summary.constData());
    QVERIFY2(failed == 0 && lost == 0, summary.constData());
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--copy") == 0)
        return runCopy(app.arguments().mid(2));
    TestTwoCopies test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_two_copies.moc"
