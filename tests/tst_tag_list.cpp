#include "form_fixture.h"
#include "seed.h"

#include "tag_match.h"
#include "tag_order.h"
#include "windows1252.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

using ItemFiles::record;

// How the scans and the list's order work on raw tag bytes: the same answers as on decoded text.
class TestTagList : public QObject {
    Q_OBJECT

private slots:
    void orderIsQCollatorsWithoutCase_data();
    void orderIsQCollatorsWithoutCase();
    void rawTagMatches_data();
    void rawTagMatches();
    void scansCrossBlockBoundaries();
};

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
    QRandomGenerator generator(testSeed());
    auto* random = &generator;
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
    QList<quint32> expected(qsizetype(keys.size()));
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    QList<quint32> order;
    TagOrder(1000).sort(tags, order); // several threads build the keys
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
    // New compares a name as it would be stored: one '?' for each character the user sees.
    QTest::newRow("outside the code page is its '?'")
        << QByteArray("a?") << QStringLiteral("a\U0001F44D\U0001F3FD").leftJustified(60) << false
        << true;
    QTest::newRow("accent typed apart") << QByteArray("\xE9") << "E\u0301" << false << true;
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
