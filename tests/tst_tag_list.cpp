#include "form_fixture.h"

#include <QTest>

using ItemFiles::record;

class TestTagList : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<FormFixture>(); }
    void cleanup() { f.reset(); }

    void missingFileGivesEmptyListAndCreatesIt();
    void listsWholeRecordsOnlyAsFullTags();
    void sortsWithoutRegardToCase();
    void selectionShowsBodyTrimmedOfBlanksOnly_data();
    void selectionShowsBodyTrimmedOfBlanksOnly();
    void firstOfEqualTagsWins();
    void selectionWithoutMatchChangesNothing();
    void rebuildingTheListKeepsTheCaption();

private:
    static QString padded(const QString& tag) { return tag.leftJustified(60, ' '); }
    std::unique_ptr<FormFixture> f;
};

void TestTagList::missingFileGivesEmptyListAndCreatesIt() {
    f->view.editor = QStringLiteral("unsaved");
    f->form.DisplayTags();
    QVERIFY(f->view.items.isEmpty());
    QVERIFY(f->view.editor.isEmpty());
    QCOMPARE(f->items(), QByteArray());
}

void TestTagList::listsWholeRecordsOnlyAsFullTags() {
    f->writeItems(record("c") + record("b") + record("a") + QByteArray(500, 'x'));
    f->form.DisplayTags();
    QCOMPARE(f->view.items, (QStringList{padded("a"), padded("b"), padded("c")}));
}

void TestTagList::sortsWithoutRegardToCase() {
    f->writeItems(record("banana") + record("Cherry") + record("apple") + record("Banana split") +
                  record("APPLES"));
    f->form.DisplayTags();
    QCOMPARE(f->view.items, (QStringList{padded("apple"), padded("APPLES"), padded("banana"),
                                         padded("Banana split"), padded("Cherry")}));
}

void TestTagList::selectionShowsBodyTrimmedOfBlanksOnly_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("caption");
    QTest::newRow("blanks around") << QByteArray("  two words  ") << "two words"
                                   << "Cardisto - 9 bytes";
    QTest::newRow("all blanks") << QByteArray() << ""
                                << "Cardisto - 0 bytes";
    QTest::newRow("tabs and line breaks stay")
        << QByteArray("\tone\r\ntwo\r\n") << "\tone\r\ntwo\r\n"
        << "Cardisto - 11 bytes";
    QTest::newRow("full body, no separators")
        << QByteArray(2000, 'x') << QString(2000, 'x') << "Cardisto - 2000 bytes";
}

void TestTagList::selectionShowsBodyTrimmedOfBlanksOnly() {
    QFETCH(QByteArray, body);
    f->writeItems(record("other", "not this") + record("note", body));
    f->form.DisplayTags();
    f->view.select(padded("note"));
    f->form.ML_Selector_Click();
    QTEST(f->view.editor, "shown");
    QTEST(f->view.caption, "caption");
}

void TestTagList::firstOfEqualTagsWins() {
    f->writeItems(record("same", "first") + record("same", "second"));
    f->form.DisplayTags();
    QCOMPARE(f->view.items.size(), 2);
    f->view.selected = 1;
    f->form.ML_Selector_Click();
    QCOMPARE(f->view.editor, QStringLiteral("first"));
}

// The list may be stale when another program changed the file.
void TestTagList::selectionWithoutMatchChangesNothing() {
    f->writeItems(record("gone", "text"));
    f->form.DisplayTags();
    f->view.select(padded("gone"));
    f->writeItems(record("other", "text"));
    f->view.editor = QStringLiteral("kept");
    f->form.ML_Selector_Click();
    QCOMPARE(f->view.editor, QStringLiteral("kept"));
    QCOMPARE(f->view.caption, QStringLiteral("Cardisto"));
}

void TestTagList::rebuildingTheListKeepsTheCaption() {
    f->writeItems(record("note", "hello"));
    f->form.DisplayTags();
    f->view.select(padded("note"));
    f->form.ML_Selector_Click();
    f->form.DisplayTags();
    QVERIFY(f->view.editor.isEmpty());
    QCOMPARE(f->view.selected, -1);
    QCOMPARE(f->view.caption, QStringLiteral("Cardisto - 5 bytes"));
}

QTEST_GUILESS_MAIN(TestTagList)
#include "tst_tag_list.moc"
