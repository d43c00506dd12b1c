#include "fake_form.h"
#include "item_files.h"

#include "item_store.h"
#include "mireloft_main.h"
#include "note_record.h"
#include "store_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <map>
#include <string>
#include <sys/stat.h>

using ItemFiles::record;

namespace {

// One command of one copy: "delete TAG", "new NAME", "save TAG TEXT" or "rename TAG NAME".
using Command = QStringList;

constexpr int Records = 2000;
// A sanitized build looks for memory faults, not for the race's odds. More for a longer run:
// CARDISTO_RACE_TRIALS=100.
#ifdef __SANITIZE_ADDRESS__
constexpr int DefaultTrials = 4;
#else
constexpr int DefaultTrials = 10;
#endif
const int TrialsPerPair = qEnvironmentVariableIntValue("CARDISTO_RACE_TRIALS") > 0
                              ? qEnvironmentVariableIntValue("CARDISTO_RACE_TRIALS")
                              : DefaultTrials;

// Deletes the victims in the current folder. Given a step, kills itself there, at the given
// occurrence, as a crash or a power cut would stop the program.
void deleteVictims(int killStep = -1, int occurrence = 0) {
    NoteRecord buffer;
    int seen = 0;
    ItemStore().removeItem(QStringLiteral("victim").leftJustified(60), buffer,
                           [&](ReplacementStep step) {
                               if (int(step) == killStep && ++seen == occurrence)
                                   std::raise(SIGKILL);
                           });
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

const std::map<QString, void (MireloftMain::*)()> Procedures = {
    {"delete", &MireloftMain::mnu_delete_Click},
    {"new", &MireloftMain::mnu_New_Click},
    {"save", &MireloftMain::mnu_SaveQuote_Click},
    {"rename", &MireloftMain::mnu_rename_Click}};

// One copy with the command's tag selected runs the command; returns the boxes it showed.
QString run(const Command& command) {
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form(view, desktop);
    view.items = {command.value(1).leftJustified(60)};
    view.selected = 0;
    view.boxAnswers.enqueue(MessageBoxResult::Yes);
    view.inputAnswers.enqueue(command.value(command[0] == "new" ? 1 : 2));
    view.editor = command.value(2);
    (form.*Procedures.at(command[0]))();
    return view.boxes.join('\n');
}

} // namespace

// zmr.lst is at every moment either the whole old file or the whole new one, also while two
// copies of the program change it at once.
class TestItemFileSafety : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QDir::setCurrent(m_dir.path());
        for (int n = 1; n <= Records; ++n) {
            const QByteArray tag = n == 1 || n == Records ? "victim"
                                   : n == Records / 2     ? "other victim"
                                   : n == 3               ? "note"
                                   : n == 4               ? "old name"
                                                          : "item " + QByteArray::number(n);
            const QByteArray item = record(tag, "text of " + QByteArray::number(n));
            m_old += item;
            m_new += tag == "victim" ? QByteArray() : item;
        }
        // The copies' offsets are drawn within one deletion's time, where they overlap.
        init();
        QElapsedTimer timer;
        timer.start();
        deleteVictims();
        m_deleteMicros = timer.nsecsElapsed() / 1000;
    }
    void init() { ItemFiles::write("zmr.lst", m_old); }

    void killedAtAStep_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("occurrence");
        for (const int n : {1, 64, 65})
            QTest::addRow("record %d copied", n) << int(ReplacementStep::RecordCopied) << n;
        QTest::newRow("flushed") << int(ReplacementStep::Synced) << 1;
        QTest::newRow("closed, about to replace") << int(ReplacementStep::Replacing) << 1;
        QTest::newRow("replaced") << int(ReplacementStep::Replaced) << 1;
    }
    void killedAtAStep() {
        QFETCH(int, step);
        QFETCH(int, occurrence);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--kill-at", QString::number(step), QString::number(occurrence)});
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(ItemFiles::read("zmr.lst"),
                 step == int(ReplacementStep::Replaced) ? m_new : m_old);
        // What the killed deletion left behind must not spoil the next one.
        deleteVictims();
        QCOMPARE(ItemFiles::read("zmr.lst"), m_new);
        QVERIFY(!QFile::exists("zmr.tmp"));
    }

    // A replacement that removed the old file first would lose it when the last step fails. The
    // temporary file is private from its creation on, whatever the umask.
    void failedReplacementKeepsTheOldFile() {
        NoteRecord buffer;
        struct stat created {};
        const mode_t umaskBefore = umask(0);
        QVERIFY_THROWS_EXCEPTION(
            StoreError, ItemStore().removeItem(QStringLiteral("victim").leftJustified(60), buffer,
                                               [&](auto step) {
                                                   if (step == ReplacementStep::Created)
                                                       stat("zmr.tmp", &created);
                                                   if (step == ReplacementStep::Replacing)
                                                       QFile::remove(QStringLiteral("zmr.tmp"));
                                               }));
        umask(umaskBefore);
        QCOMPARE(created.st_mode & 0777, 0600u);
        QCOMPARE(ItemFiles::read("zmr.lst"), m_old);
    }

    // Two copies must not undo each other's changes without a word: a deletion copying the file
    // while the other appends or rewrites a record, or two deletions sharing one temporary file.
    void bothChangesSurvive_data() {
        QTest::addColumn<Command>("first");
        QTest::addColumn<Command>("second");
        const Command remove{"delete", "victim"};
        QTest::newRow("Delete, Delete") << remove << Command{"delete", "other victim"};
        QTest::newRow("Delete, New") << remove << Command{"new", "fresh"};
        QTest::newRow("Delete, Save") << remove << Command{"save", "note", "saved text"};
        QTest::newRow("Delete, Rename") << remove << Command{"rename", "old name", "new name"};
        QTest::newRow("New, New") << Command{"new", "fresh"} << Command{"new", "also fresh"};
    }
    void bothChangesSurvive() {
        QFETCH(Command, first);
        QFETCH(Command, second);
        const Command commands[2] = {first, second};
        int refused = 0, failed = 0, lost = 0;
        for (int trial = 0; trial < TrialsPerPair; ++trial) {
            init();
            QProcess copies[2];
            for (int i = 0; i < 2; ++i) {
                copies[i].start(QCoreApplication::applicationFilePath(),
                                QStringList{"--copy"} + commands[i]);
                QVERIFY(copies[i].waitForReadyRead(10000));
                QCOMPARE(copies[i].readLine(), "ready\n");
            }
            // Either copy may start first, by up to one deletion's time.
            const int late = trial % 2;
            copies[late].write(
                QByteArray::number(QRandomGenerator::global()->bounded(m_deleteMicros + 1)) + '\n');
            copies[1 - late].write("0\n");
            for (QProcess& copy : copies)
                QVERIFY(copy.waitForBytesWritten(10000)); // sent now, not when the other has ended
            // The copies' changes together, as if one had run after the other.
            bool ran[2] = {};
            for (int i = 0; i < 2; ++i) {
                QVERIFY(copies[i].waitForFinished(20000));
                const QString boxes = QString::fromUtf8(copies[i].readAllStandardOutput());
                ran[i] = !boxes.contains("another copy of Cardisto, is using");
                refused += !ran[i];
                if (ran[i] && boxes.contains("|16")) {
                    ++failed;
                    qWarning("%s", qPrintable(boxes));
                }
            }
            const QList<QByteArray> raced = sortedRecords(ItemFiles::read("zmr.lst"));
            init();
            for (int i = 0; i < 2; ++i)
                QVERIFY(!ran[i] || !run(commands[i]).contains("|16"));
            lost += raced != sortedRecords(ItemFiles::read("zmr.lst"));
        }
        const QByteArray summary =
            QString::asprintf("%d trials: %d commands refused as busy, %d failed, %d lost a change",
                              TrialsPerPair, refused, failed, lost)
                .toUtf8();
        qInfo("%s", summary.constData());
        QVERIFY2(failed == 0 && lost == 0, summary.constData());
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old, m_new;
    qint64 m_deleteMicros = 0;
};

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--kill-at") == 0) {
        deleteVictims(std::atoi(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--copy") == 0) {
        // A copy waits for the word to go, then runs its command and prints its boxes.
        std::cout << "ready" << std::endl;
        std::string delay;
        std::getline(std::cin, delay);
        QThread::usleep(std::stoul(delay));
        std::cout << qPrintable(run(app.arguments().mid(2))) << std::endl;
        return 0;
    }
    TestItemFileSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_item_file_safety.moc"
