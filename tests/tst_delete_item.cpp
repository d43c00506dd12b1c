#include "file_faults.h"
#include "form_fixture.h"

#include "app/message_box_style.h"

#include <QTest>

#include <cerrno>

using ItemFiles::record;

class TestDeleteItem : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<FormFixture>(); }
    void cleanup() { f.reset(); }

    void removesEveryExactMatch_data();
    void removesEveryExactMatch();
    void answerNoChangesNothing();
    void withoutSelectionOnlyWarns();
    // Records of an interrupted deletion must not slip into the new file.
    void staleTemporaryFileIsDiscarded();
    void failureLeavesTheItemFileAsItWas_data();
    void failureLeavesTheItemFileAsItWas();

private:
    static QString padded(const QString& tag) { return tag.leftJustified(60, ' '); }
    void confirmDeletionOf(const QByteArray& items, const QString& tag, int answer);
    std::unique_ptr<FormFixture> f;
};

void TestDeleteItem::confirmDeletionOf(const QByteArray& items, const QString& tag, int answer) {
    f->writeItems(items);
    f->form.DisplayTags();
    f->view.select(padded(tag));
    f->view.editor = QStringLiteral("unsaved");
    if (trimBlanks(tag).isEmpty())
        f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    f->view.boxAnswers.enqueue(answer);
    f->form.mnu_delete_Click();
    const FakeView::Box& confirm = f->view.boxes.last();
    QCOMPARE(confirm.message, QStringLiteral("Delete Item: ") + trimBlanks(tag) + " ?");
    QCOMPARE(confirm.title, QStringLiteral("Confirm"));
    QCOMPARE(confirm.style, MessageBoxStyle::ConfirmDanger);
    QCOMPARE(f->form.Response, answer);
}

void TestDeleteItem::removesEveryExactMatch_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QByteArray>("after");
    const QByteArray a = record("a", "A", 0x0102), b = record("b", "B", 0x7FFF), c = record("c");
    QTest::newRow("middle of three") << a + b + c << "b" << a + c;
    QTest::newRow("every duplicate") << b + a + c + a + a << "a" << b + c;
    QTest::newRow("case and leading blanks differ")
        << record("Note") + record("note") + record("  Note") << "Note"
        << record("note") + record("  Note");
    QTest::newRow("only item") << a << "a" << QByteArray();
    QTest::newRow("fragment dropped") << a + b + QByteArray(500, 'z') << "a" << b;
    QTest::newRow("blank tag") << record("") + a << "" << a;
}

void TestDeleteItem::removesEveryExactMatch() {
    QFETCH(QByteArray, before);
    QFETCH(QString, tag);
    confirmDeletionOf(before, tag, MessageBoxResult::Yes);
    QTEST(f->items(), "after");
    QCOMPARE(f->view.boxes.size(), trimBlanks(tag).isEmpty() ? 2 : 1);
    QVERIFY(!QFile::exists(f->path("zmr.tmp")));
    QCOMPARE(f->view.items.size(), f->items().size() / 2062);
    QCOMPARE(f->view.selected, -1);
    QVERIFY(f->view.editor.isEmpty());
}

void TestDeleteItem::answerNoChangesNothing() {
    const QByteArray before = record("a") + record("b");
    confirmDeletionOf(before, QStringLiteral("a"), MessageBoxResult::No);
    QCOMPARE(f->items(), before);
    QCOMPARE(f->view.selectorText(), padded("a"));
    QCOMPARE(f->view.editor, QStringLiteral("unsaved"));
}

void TestDeleteItem::withoutSelectionOnlyWarns() {
    f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    f->form.mnu_delete_Click();
    QCOMPARE(f->view.boxes.size(), 1);
    QCOMPARE(f->view.boxes[0].title, QStringLiteral("Nothing to do!"));
    QCOMPARE(f->view.boxes[0].message, QStringLiteral("Please pick an item to delete."));
    QCOMPARE(f->view.boxes[0].style, MessageBoxStyle::Warning);
    QCOMPARE(f->items(), QByteArray("<missing>"));
}

void TestDeleteItem::staleTemporaryFileIsDiscarded() {
    ItemFiles::write(f->path("zmr.tmp"), record("x") + record("y") + record("z"));
    confirmDeletionOf(record("a") + record("b"), QStringLiteral("a"), MessageBoxResult::Yes);
    QCOMPARE(f->items(), record("b"));
}

void TestDeleteItem::failureLeavesTheItemFileAsItWas_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only file") << "file";
    QTest::newRow("read-only folder") << "folder";
    QTest::newRow("disk full") << "disk";
}

void TestDeleteItem::failureLeavesTheItemFileAsItWas() {
    QFETCH(QString, fault);
    const QByteArray before = record("a") + record("b") + record("c") + record("d");
    f->writeItems(before);
    f->form.DisplayTags();
    f->view.select(padded("a"));
    f->view.boxAnswers << MessageBoxResult::Yes << MessageBoxResult::Ok;
    {
        std::optional<Unprivileged> unprivileged;
        std::optional<FileSizeLimit> limit;
        if (fault == u"file") {
            makeReadOnly(f->path(), f->dir.path());
            unprivileged.emplace();
        } else if (fault == u"folder") {
            QFile::setPermissions(f->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ReadOther | QFile::WriteOther);
            QFile::setPermissions(f->dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadOther | QFile::ExeOther);
            unprivileged.emplace();
        } else {
            limit.emplace(2 * 2062 + 100);
        }
        f->form.mnu_delete_Click();
    }
    QCOMPARE(f->items(), before);
    QVERIFY(!QFile::exists(f->path("zmr.tmp")));
    QCOMPARE(f->view.boxes.size(), 2);
    QCOMPARE(f->view.boxes[1].style, MessageBoxStyle::Error);
    if (fault == u"disk") // the system's reason, not a vague one
        QVERIFY(f->view.boxes[1].message.contains(qt_error_string(EFBIG)));
    QCOMPARE(f->view.selectorText(), padded("a"));
}

QTEST_GUILESS_MAIN(TestDeleteItem)
#include "tst_delete_item.moc"
