#include "file_faults.h"
#include "form_fixture.h"

#include "commands/tag_order.h"
#include "store/tag_match.h"
#include "store/windows1252.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

using ItemFiles::record;

// Start-up, the tag list and the selection.
class TestTagList : public QObject {
    Q_OBJECT

private slots:
    void listsWholeRecordsSortedWithoutCase_data();
    void listsWholeRecordsSortedWithoutCase();
    void selectionShowsTheFirstMatchTrimmedOfBlanksOnly_data();
    void selectionShowsTheFirstMatchTrimmedOfBlanksOnly();
    // A file that cannot be written still lists; one that cannot be read is reported, not fatal.
    void startUpReadsTheFileBesideTheProgram_data();
    void startUpReadsTheFileBesideTheProgram();
    void orderIsQCollatorsWithoutCase_data();
    void orderIsQCollatorsWithoutCase();
    void rawTagMatches_data();
    void rawTagMatches();
    void scansCrossBlockBoundaries();
};

void TestTagList::listsWholeRecordsSortedWithoutCase_data() {
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QStringList>("list");
    QTest::newRow("missing file created empty") << QByteArray() << QStringList();
    QTest::newRow("fragment never read")
        << record("c") + record("b") + record("a") + QByteArray(500, 'x')
        << QStringList{"a", "b", "c"};
    QTest::newRow("case ignored") << record("b") + record("C") + record("a") + record("B a") +
                                         record("AB")
                                  << QStringList{"a", "AB", "b", "B a", "C"};
}

void TestTagList::listsWholeRecordsSortedWithoutCase() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, list);
    FormFixture f;
    if (!before.isNull())
        f.writeItems(before);
    f.view.editor = QStringLiteral("unsaved");
    f.form.DisplayTags();
    for (QString& tag : list)
        tag = tag.leftJustified(60);
    QCOMPARE(f.view.items, list);
    QVERIFY(f.view.editor.isEmpty());
    QCOMPARE(f.items(), before);
}

void TestTagList::selectionShowsTheFirstMatchTrimmedOfBlanksOnly_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("caption");
    QTest::newRow("blanks around") << QByteArray("  two words  ") << "two words"
                                   << "Cardisto - 9 bytes";
    QTest::newRow("tabs and line breaks stay")
        << QByteArray("\tone\r\ntwo\r\n") << "\tone\r\ntwo\r\n"
        << "Cardisto - 11 bytes";
}

void TestTagList::selectionShowsTheFirstMatchTrimmedOfBlanksOnly() {
    QFETCH(QByteArray, body);
    FormFixture f;
    f.listAndSelect(record("other", "not this") + record("note", body) + record("note", "second"),
                    QStringLiteral("note"));
    f.form.ML_Selector_Click();
    QTEST(f.view.editor, "shown");
    QTEST(f.view.caption, "caption");
}

void TestTagList::startUpReadsTheFileBesideTheProgram_data() {
    QTest::addColumn<QByteArray>("fileRights"); // empty: no file
    QTest::addColumn<bool>("listed");
    QTest::newRow("read-only file") << QByteArray("r") << true;
    QTest::newRow("unreadable file") << QByteArray("w") << false;
    QTest::newRow("no file") << QByteArray() << false;
}

void TestTagList::startUpReadsTheFileBesideTheProgram() {
    QFETCH(QByteArray, fileRights);
    QFETCH(bool, listed);
    QTemporaryDir elsewhere;
    ItemFiles::write(elsewhere.filePath("zmr.lst"), record("wrong one"));
    FormFixture f;
    if (!fileRights.isEmpty()) {
        f.writeItems(record("note", "text"));
        allowOnly(f.path(), fileRights.constData());
    }
    allowOnly(f.dir.path(), "rx");
    QDir::setCurrent(elsewhere.path());
    {
        Unprivileged unprivileged;
        f.form.Form_Load();
        if (listed) {
            f.view.selected = 0;
            f.form.ML_Selector_Click();
        }
    }
    QCOMPARE(QDir::currentPath(), QDir(f.dir.path()).canonicalPath());
    QCOMPARE(f.form.HelpFile, QStringLiteral("Kevra.hlp"));
    QCOMPARE(f.view.editor, listed ? QStringLiteral("text") : QString());
    const QString box = f.view.boxes.value(0);
    QVERIFY2(listed ? box.isEmpty()
                    : box.contains(f.path()) && box.contains("Permission denied") &&
                          box.endsWith("|16"),
             qPrintable(box));
    QCOMPARE(QFile::exists(f.path()), !fileRights.isEmpty());
}

void TestTagList::orderIsQCollatorsWithoutCase_data() {
    QTest::addColumn<QString>("locale");
    for (const char* locale : {"C", "en_US", "de_DE", "sv_SE"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

// The list's order must be exactly QCollator's, case-insensitive and stable, although it is
// computed from key prefixes: tags that share long starts, differ in accents or case only, are
// equal, or hold a zero byte.
void TestTagList::orderIsQCollatorsWithoutCase() {
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    static const char letterBytes[] =
        "aAbBzZ1 \0\t\xDF\xE9\xC9\xE5\xC5\xE4\xF6\xFF\x9F\x8A\x9A\x9C\x8C";
    const QByteArray letters(letterBytes, sizeof(letterBytes) - 1);
    auto* random = QRandomGenerator::global();
    QByteArray tags;
    for (int i = 0; i < 3000; ++i) {
        QByteArray tag = QByteArray(int(random->bounded(40)), 'a'); // long shared starts
        while (tag.size() < 60 && random->bounded(8) != 0)
            tag += letters.at(random->bounded(letters.size()));
        tags += tag.leftJustified(60, ' ', true);
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    for (qsizetype i = 0; i < tags.size(); i += 60)
        keys.push_back(collator.sortKey(Windows1252::decode(tags.mid(i, 60)).toCaseFolded()));
    std::vector<quint32> expected(keys.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    const std::vector<quint32> order = tagOrder(tags);
    QLocale::setDefault(QLocale::system());
    QVERIFY(order == expected);
}

void TestTagList::rawTagMatches_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("loose");
    const QString padded = QStringLiteral("Apple").leftJustified(60);
    QTest::newRow("same") << QByteArray("Apple") << padded << true << true;
    QTest::newRow("unpadded") << QByteArray("Apple") << "Apple" << false << true;
    QTest::newRow("case and blanks") << QByteArray("  a b") << "A B  " << false << true;
    QTest::newRow("inner blank counts") << QByteArray("ab") << "a b" << false << false;
    QTest::newRow("tab is no blank") << QByteArray("a\t") << "a" << false << false;
    QTest::newRow("outside the code page is not '?'")
        << QByteArray("?") << QStringLiteral("\u03A9").leftJustified(60) << false << false;
    QTest::newRow("sharp s stays one letter") << QByteArray("Stra\xDF"
                                                            "e")
                                              << "STRASSE" << false << false;
    QTest::newRow("y diaeresis upper is 0x9F") << QByteArray("\xFF") << "\u0178" << false << true;
    QTest::newRow("micro sign") << QByteArray("\xB5") << "\u00B5" << false << true;
}

// The scans compare raw bytes; a match must mean what it means on the decoded tag.
void TestTagList::rawTagMatches() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    const QByteArray tag = stored.leftJustified(60, ' ');
    QTEST(ExactTagMatch(text)(tag), "exact");
    QTEST(LooseTagMatch(text)(tag), "loose");
}

// Scans read many records at a time: records on both sides of a block's end, and the last
// one, must be read like any other.
void TestTagList::scansCrossBlockBoundaries() {
    QByteArray items;
    const int count = 1100;
    for (int n = count; n >= 1; --n)
        items += record(QByteArray::number(100000 + n), QByteArray::number(n));
    FormFixture f;
    f.listAndSelect(items, QStringLiteral("100001"));
    QCOMPARE(f.view.items.size(), count);
    QCOMPARE(f.view.items.first(), QStringLiteral("100001").leftJustified(60));
    QCOMPARE(f.view.items.last(), QStringLiteral("101100").leftJustified(60));
    for (const int n : {1, 83, 592, 593, 1100}) {
        f.view.selected = int(f.view.items.indexOf(QString::number(100000 + n).leftJustified(60)));
        f.form.ML_Selector_Click();
        QCOMPARE(f.view.editor, QString::number(n));
    }
}

QTEST_GUILESS_MAIN(TestTagList)
#include "tst_tag_list.moc"
