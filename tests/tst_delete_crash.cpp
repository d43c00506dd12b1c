#include "item_files.h"

#include "commands/delete_item.h"
#include "store/item_file.h"
#include "store/note_record.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// Kills a deletion at every kind of step and checks that zmr.lst is always whole: either the old
// file or the new one, never a mix, never missing.
class TestDeleteCrash : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedAtAStep_data();
    void killedAtAStep();
    void killedAtRandomTimes();

private:
    void startOver();
    // Finishes the deletion in this process, despite what the killed one left behind.
    void deleteAgainAndExpectTheNewFile();

    static constexpr int Records = 3000;
    QTemporaryDir m_dir;
    QByteArray m_old;
    QByteArray m_new;
    int m_kept = 0;
};

void TestDeleteCrash::initTestCase() {
    QVERIFY(m_dir.isValid());
    for (int n = 1; n <= Records; ++n) {
        const bool victim = n == 1 || n == Records / 2 || n == Records;
        const QByteArray record =
            ItemFiles::record(victim ? "victim" : "item " + QByteArray::number(n),
                              "text of " + QByteArray::number(n), quint16(n));
        m_old += record;
        if (!victim) {
            m_new += record;
            ++m_kept;
        }
    }
}

void TestDeleteCrash::startOver() {
    ItemFiles::write(m_dir.filePath(ItemFileName), m_old);
}

void TestDeleteCrash::deleteAgainAndExpectTheNewFile() {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    NoteRecord buffer;
    removeTaggedRecords(QStringLiteral("victim").leftJustified(60), buffer);
    QDir::setCurrent(previous);
    QCOMPARE(ItemFiles::read(m_dir.filePath(ItemFileName)), m_new);
    QVERIFY(!QFile::exists(m_dir.filePath(TemporaryFileName)));
}

void TestDeleteCrash::killedAtAStep_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("first record") << "record" << 1 << false;
    QTest::newRow("record 63, nothing written yet") << "record" << 63 << false;
    QTest::newRow("record 64, first batch written") << "record" << 64 << false;
    QTest::newRow("middle record") << "record" << Records / 2 << false;
    QTest::newRow("last record") << "record" << Records - 3 << false;
    QTest::newRow("synced, not closed") << "synced" << 1 << false;
    QTest::newRow("closed, about to replace") << "replacing" << 1 << false;
    QTest::newRow("replaced") << "replaced" << 1 << true;
}

void TestDeleteCrash::killedAtAStep() {
    QFETCH(QString, step);
    QFETCH(int, occurrence);
    QFETCH(bool, replaced);
    startOver();
    QProcess child;
    child.start(QStringLiteral(CRASH_CHILD),
                {m_dir.path(), QStringLiteral("victim"), step, QString::number(occurrence)});
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(ItemFiles::read(m_dir.filePath(ItemFileName)), replaced ? m_new : m_old);
    deleteAgainAndExpectTheNewFile();
}

void TestDeleteCrash::killedAtRandomTimes() {
    QElapsedTimer timer;
    startOver();
    timer.start();
    QCOMPARE(QProcess::execute(QStringLiteral(CRASH_CHILD),
                               {m_dir.path(), QStringLiteral("victim"), QStringLiteral("none"),
                                QStringLiteral("0")}),
             0);
    const qint64 runMicroseconds = qMax<qint64>(timer.nsecsElapsed() / 1000, 1000);
    QRandomGenerator random(20240611);
    for (int i = 0; i < 10; ++i) {
        startOver();
        QProcess child;
        child.start(QStringLiteral(CRASH_CHILD), {m_dir.path(), QStringLiteral("victim"),
                                                  QStringLiteral("none"), QStringLiteral("0")});
        QVERIFY(child.waitForStarted());
        QThread::usleep(random.bounded(runMicroseconds * 3 / 2));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        const QByteArray items = ItemFiles::read(m_dir.filePath(ItemFileName));
        QVERIFY2(items == m_old || items == m_new, "zmr.lst is neither the old nor the new file");
        deleteAgainAndExpectTheNewFile();
    }
}

QTEST_GUILESS_MAIN(TestDeleteCrash)
#include "tst_delete_crash.moc"
