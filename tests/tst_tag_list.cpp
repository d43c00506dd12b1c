#include "file_faults.h"
#include "form_fixture.h"

#include <QTest>

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

QTEST_GUILESS_MAIN(TestTagList)
#include "tst_tag_list.moc"
