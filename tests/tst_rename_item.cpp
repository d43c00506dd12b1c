#include "form_fixture.h"

#include "app/message_box_style.h"

#include <QTest>

using ItemFiles::record;

class TestRenameItem : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<FormFixture>(); }
    void cleanup() { f.reset(); }

    void rewritesTheTagInPlace_data();
    void rewritesTheTagInPlace();
    void withoutSelectionOnlyWarns();
    void cancelOrVanishedTagChangesNothing_data();
    void cancelOrVanishedTagChangesNothing();

private:
    static QString padded(const QString& tag) { return tag.leftJustified(60, ' '); }
    std::unique_ptr<FormFixture> f;
};

void TestRenameItem::rewritesTheTagInPlace_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("warned");
    const QByteArray abc = record("a", "A", 1) + record("b", "B", 0x7FFF) + record("c", "C");
    QTest::newRow("keeps body, reserved and place")
        << abc << "b"
        << "bee" << record("a", "A", 1) + record("bee", "B", 0x7FFF) + record("c", "C") << false;
    QTest::newRow("taken name stored all the same")
        << abc << "b"
        << "a" << record("a", "A", 1) + record("a", "B", 0x7FFF) + record("c", "C") << false;
    // The later record's entry is selected, but the first loose match in file order is renamed.
    QTest::newRow("first loose match in file order")
        << record("  NOTE", "first") + record("note", "second") << "note"
        << "new" << record("new", "first") + record("note", "second") << false;
    QTest::newRow("answer cut to 60") << record("old") << "old" << QString(58, 'n') + "abcd"
                                      << record(QByteArray(58, 'n') + "ab") << false;
    QTest::newRow("blanks only answer") << record("old") << "old"
                                        << "  " << record("") << false;
    QTest::newRow("blank tag warns, then renames")
        << record("") + record("x") << ""
        << "named" << record("named") + record("x") << true;
}

void TestRenameItem::rewritesTheTagInPlace() {
    QFETCH(QByteArray, before);
    QFETCH(QString, selected);
    QFETCH(QString, answer);
    QFETCH(bool, warned);
    f->writeItems(before);
    f->form.DisplayTags();
    f->view.select(padded(selected));
    f->view.editor = QStringLiteral("unsaved");
    if (warned)
        f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    f->view.inputAnswers.enqueue(answer);
    f->form.mnu_rename_Click();
    QTEST(f->items(), "after");
    QCOMPARE(f->view.boxes.size(), warned ? 1 : 0);
    QCOMPARE(f->view.inputs.size(), 1);
    QCOMPARE(f->view.inputs[0].prompt, QStringLiteral("New item name..."));
    QCOMPARE(f->view.inputs[0].title, QStringLiteral("New Item"));
    QCOMPARE(f->view.inputs[0].defaultText, padded(selected));
    QCOMPARE(f->view.selected, -1);
    QVERIFY(f->view.editor.isEmpty());
}

void TestRenameItem::withoutSelectionOnlyWarns() {
    f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    f->form.mnu_rename_Click();
    QCOMPARE(f->view.boxes.size(), 1);
    QCOMPARE(f->view.boxes[0].title, QStringLiteral("Nothing to do!"));
    QCOMPARE(f->view.boxes[0].message, QStringLiteral("Please pick an item to rename."));
    QCOMPARE(f->view.boxes[0].style, MessageBoxStyle::Warning);
    QCOMPARE(f->form.Response, MessageBoxResult::Ok);
    QCOMPARE(f->items(), QByteArray("<missing>"));
}

void TestRenameItem::cancelOrVanishedTagChangesNothing_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("fileByThen");
    QTest::newRow("cancelled") << QString() << record("note", "text");
    QTest::newRow("tag vanished") << "new" << record("other", "text");
}

void TestRenameItem::cancelOrVanishedTagChangesNothing() {
    QFETCH(QString, answer);
    QFETCH(QByteArray, fileByThen);
    f->writeItems(record("note", "text"));
    f->form.DisplayTags();
    f->view.select(padded("note"));
    f->view.editor = QStringLiteral("unsaved");
    f->writeItems(fileByThen);
    f->view.inputAnswers.enqueue(answer);
    f->form.mnu_rename_Click();
    QCOMPARE(f->items(), fileByThen);
    QCOMPARE(f->view.selectorText(), padded("note"));
    QCOMPARE(f->view.editor, QStringLiteral("unsaved"));
}

QTEST_GUILESS_MAIN(TestRenameItem)
#include "tst_rename_item.moc"
