#include "item_files.h"

#include "commands/delete_item.h"
#include "store/note_record.h"
#include "store/store_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString Victim = QStringLiteral("victim").leftJustified(60);

// Deletes the victims in the current folder. Given a step, kills itself there, at the given
// occurrence, as a crash or a power cut would stop the program.
void deleteVictims(int killStep = -1, int occurrence = 0) {
    NoteRecord buffer;
    int seen = 0;
    removeTaggedRecords(Victim, buffer, [&](ReplacementStep step) {
        if (int(step) == killStep && ++seen == occurrence)
            std::raise(SIGKILL);
    });
}

} // namespace

// zmr.lst is at every moment either the whole old file or the whole new one.
class TestDeleteCrash : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QDir::setCurrent(m_dir.path());
        constexpr int Records = 3000;
        for (int n = 1; n <= Records; ++n) {
            const bool victim = n == 1 || n == Records / 2 || n == Records;
            const QByteArray item =
                ItemFiles::record(victim ? "victim" : "item " + QByteArray::number(n),
                                  "text of " + QByteArray::number(n), quint16(n));
            m_old += item;
            if (!victim)
                m_new += item;
        }
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
        child.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--kill-at"), QString::number(step), QString::number(occurrence)});
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(ItemFiles::read("zmr.lst"),
                 step == int(ReplacementStep::Replaced) ? m_new : m_old);
        // What the killed deletion left behind must not spoil the next one.
        deleteVictims();
        QCOMPARE(ItemFiles::read("zmr.lst"), m_new);
        QVERIFY(!QFile::exists("zmr.tmp"));
    }

    // A replacement that removed the old file first would lose it when the last step fails.
    void failedReplacementKeepsTheOldFile() {
        NoteRecord buffer;
        QVERIFY_THROWS_EXCEPTION(StoreError,
                                 removeTaggedRecords(Victim, buffer, [](ReplacementStep step) {
                                     if (step == ReplacementStep::Replacing)
                                         QFile::remove(QStringLiteral("zmr.tmp"));
                                 }));
        QCOMPARE(ItemFiles::read("zmr.lst"), m_old);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old, m_new;
};

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--kill-at") == 0) {
        deleteVictims(std::atoi(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestDeleteCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_delete_crash.moc"
