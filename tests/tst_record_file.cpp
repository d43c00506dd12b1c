#include "item_files.h"
#include "unprivileged.h"

#include "store/note_record.h"
#include "store/record_file.h"
#include "store/store_error.h"
#include "store/windows1252.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRecordFile : public QObject {
    Q_OBJECT

private slots:
    void init();

    // Guards against a byte that changes on its way through memory and back.
    void everyByteSurvivesARoundTrip();
    void charactersOutsideTheCodePageBecomeQuestionMarks();

    void assignmentFillsOrCuts_data();
    void assignmentFillsOrCuts();
    void tagMatches_data();
    void tagMatches();

    void missingFileIsCreatedEmpty();
    void fragmentIsCountedButNeverRead();
    void writeStoresExactBytes();
    void readOnlyFileReadsButRefusesWrites();
    void writeToAFullDiskIsReported();
    void recordNumbersRoundHalvesToEven_data();
    void recordNumbersRoundHalvesToEven();

private:
    QString path(const char* name) const { return m_dir->filePath(QString::fromLatin1(name)); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRecordFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRecordFile::everyByteSurvivesARoundTrip() {
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    const QString text = Windows1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC)); // euro sign
    QCOMPARE(text.at(0x81), QChar(0x81));   // undefined in the code page, kept as is
    QCOMPARE(Windows1252::encode(text), all);
}

void TestRecordFile::charactersOutsideTheCodePageBecomeQuestionMarks() {
    QCOMPARE(Windows1252::encode(QStringLiteral("a\u0100b\u20ACc\U0001F600")), QByteArray("a?b\x80"
                                                                                          "c??"));
}

void TestRecordFile::assignmentFillsOrCuts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::newRow("short") << "Shopping" << QStringLiteral("Shopping") + QString(52, ' ');
    QTest::newRow("exact") << QString(60, 'x') << QString(60, 'x');
    QTest::newRow("long") << QString(60, 'a') + "0123456789" << QString(60, 'a');
    QTest::newRow("empty") << QString() << QString(60, ' ');
}

void TestRecordFile::assignmentFillsOrCuts() {
    QFETCH(QString, text);
    QFETCH(QString, tag);
    NoteRecord record;
    record.setTag(text);
    record.setBody(text);
    QCOMPARE(record.Tag, tag);
    QCOMPARE(record.Body.size(), NoteRecord::BodyLength);
    QVERIFY(record.Body.startsWith(tag.trimmed()));
}

void TestRecordFile::tagMatches_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("loose");
    QTest::newRow("padded tag") << "Apple" << QStringLiteral("Apple") + QString(55, ' ') << true
                                << true;
    QTest::newRow("unpadded") << "Apple"
                              << "Apple" << false << true;
    QTest::newRow("case and blanks") << "Apple"
                                     << "  aPPle " << false << true;
    QTest::newRow("inner blank") << "Ap ple"
                                 << "Apple" << false << false;
    QTest::newRow("tab is not a blank") << "Apple"
                                        << "Apple\t" << false << false;
    QTest::newRow("blanks only") << ""
                                 << "   " << false << true;
}

void TestRecordFile::tagMatches() {
    QFETCH(QString, stored);
    QFETCH(QString, given);
    NoteRecord record;
    record.setTag(stored);
    QTEST(record.exactTagMatch(given), "exact");
    QTEST(record.looseTagMatch(given), "loose");
}

void TestRecordFile::missingFileIsCreatedEmpty() {
    RecordFile file(path("zmr.lst"));
    QCOMPARE(file.recordCount(), 0.0);
    file.close();
    QCOMPARE(ItemFiles::read(path("zmr.lst")), QByteArray());
}

void TestRecordFile::fragmentIsCountedButNeverRead() {
    QByteArray bytes = ItemFiles::record("one") + ItemFiles::record("two", "body", 0xBEEF) +
                       ItemFiles::record("three") + QByteArray(500, 'z');
    ItemFiles::write(path("zmr.lst"), bytes);
    RecordFile file(path("zmr.lst"));
    QCOMPARE(file.recordCount(), (3 * 2062 + 500) / 2062.0);
    NoteRecord record;
    file.read(2, record);
    QCOMPARE(record.Tag.trimmed(), QStringLiteral("two"));
    QCOMPARE(quint16(record.Reserved), quint16(0xBEEF));
    QCOMPARE(record.Body.trimmed(), QStringLiteral("body"));
    file.read(3, record);
    QCOMPARE(record.Tag.trimmed(), QStringLiteral("three"));
    QVERIFY_THROWS_EXCEPTION(StoreError, file.read(4, record));
}

void TestRecordFile::writeStoresExactBytes() {
    ItemFiles::write(path("zmr.lst"), ItemFiles::record("one"));
    RecordFile file(path("zmr.lst"));
    NoteRecord record;
    record.setTag(QStringLiteral("caf\u00E9 \u20AC"));
    record.setBody(QStringLiteral("line\r\nnext"));
    record.Reserved = qint16(0x0102);
    file.write(2, record);
    file.close();
    QCOMPARE(ItemFiles::read(path("zmr.lst")),
             ItemFiles::record("one") + ItemFiles::record("caf\xE9 \x80", "line\r\nnext", 0x0102));
}

void TestRecordFile::readOnlyFileReadsButRefusesWrites() {
    const QByteArray bytes = ItemFiles::record("kept");
    ItemFiles::write(path("zmr.lst"), bytes);
    QFile::setPermissions(path("zmr.lst"), QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    Unprivileged unprivileged;
    RecordFile file(path("zmr.lst"));
    QVERIFY(!file.isWritable());
    NoteRecord record;
    file.read(1, record);
    QCOMPARE(record.Tag.trimmed(), QStringLiteral("kept"));
    try {
        file.write(2, record);
        QFAIL("a write to a read-only file succeeded");
    } catch (const StoreError& error) {
        QVERIFY(error.fileName().endsWith(QLatin1String("zmr.lst")));
        QVERIFY(!error.reason().isEmpty());
    }
    QCOMPARE(ItemFiles::read(path("zmr.lst")), bytes);
}

// A full disk is an error, never a silent success.
void TestRecordFile::writeToAFullDiskIsReported() {
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    RecordFile file(QStringLiteral("/dev/full"));
    NoteRecord record;
    QVERIFY_THROWS_EXCEPTION(StoreError, file.write(1, record));
}

void TestRecordFile::recordNumbersRoundHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("number");
    QTest::newRow("whole") << 4.0 << qint64(4);
    QTest::newRow("short fragment") << 4.24 << qint64(4);
    QTest::newRow("long fragment") << 4.76 << qint64(5);
    QTest::newRow("half to even, down") << 4.5 << qint64(4);
    QTest::newRow("half to even, up") << 3.5 << qint64(4);
}

void TestRecordFile::recordNumbersRoundHalvesToEven() {
    QFETCH(double, value);
    QTEST(RecordFile::roundedRecordNumber(value), "number");
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_record_file.moc"
