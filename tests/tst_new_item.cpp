#include "file_faults.h"
#include "form_fixture.h"

#include "app/message_box_style.h"

#include <QTest>

using ItemFiles::record;

class TestNewItem : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<FormFixture>(); }
    void cleanup() { f.reset(); }

    void addsUnlessTakenLoosely_data();
    void addsUnlessTakenLoosely();
    void cancelWritesNothingButRebuildsTheList();
    // A failed append must not leave part of a record behind or be taken for success.
    void failedWriteIsReportedAndLeavesTheFileWhole_data();
    void failedWriteIsReportedAndLeavesTheFileWhole();

private:
    std::unique_ptr<FormFixture> f;
};

void TestNewItem::addsUnlessTakenLoosely_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("after");
    const QByteArray apple = record("Apple", "red");
    QTest::newRow("other case") << apple << "apple" << apple;
    QTest::newRow("capitals") << apple << "APPLE" << apple;
    QTest::newRow("blanks around") << apple << "  Apple  " << apple;
    QTest::newRow("longer name") << apple << "Apples" << apple + record("Apples");
    QTest::newRow("leading blanks stored") << apple << "  Pear" << apple + record("  Pear");
    QTest::newRow("blanks only, first") << apple << "   " << apple + record("");
    QTest::newRow("blanks only, second") << record("") << " " << record("");
    const QByteArray sixty(60, 'x');
    // The whole typed name is compared, so its first 60 characters may repeat a stored tag.
    QTest::newRow("over 60, cut after the test")
        << record(sixty) << QString::fromLatin1(sixty + "yz") << record(sixty) + record(sixty);
    QTest::newRow("empty file") << QByteArray() << "First" << record("First");
    QTest::newRow("fragment under half overwritten")
        << record("a") + QByteArray(500, 'z') << "b" << record("a") + record("b");
    QTest::newRow("fragment over half kept")
        << record("a") + QByteArray(1500, 'z') << "b"
        << record("a") + QByteArray(1500, 'z') + QByteArray(562, '\0') + record("b");
    QTest::newRow("reserved of the last record read")
        << record("a", "", 0x1234) + record("b", "", 0xABCD) << "c"
        << record("a", "", 0x1234) + record("b", "", 0xABCD) + record("c", "", 0xABCD);
}

void TestNewItem::addsUnlessTakenLoosely() {
    QFETCH(QByteArray, before);
    QFETCH(QString, name);
    f->writeItems(before);
    f->view.inputAnswers.enqueue(name);
    f->form.mnu_New_Click();
    QTEST(f->items(), "after");
    QCOMPARE(f->view.inputs.size(), 1);
    QCOMPARE(f->view.inputs[0].prompt, QStringLiteral("New item name..."));
    QCOMPARE(f->view.inputs[0].title, QStringLiteral("New Item"));
    QCOMPARE(f->view.inputs[0].defaultText, QString());
    QCOMPARE(f->view.items.size(), f->items().size() / 2062);
}

void TestNewItem::cancelWritesNothingButRebuildsTheList() {
    f->writeItems(record("note", "text"));
    f->form.DisplayTags();
    f->view.select(QStringLiteral("note").leftJustified(60));
    f->view.editor = QStringLiteral("unsaved");
    f->view.inputAnswers.enqueue(QString());
    f->form.mnu_New_Click();
    QCOMPARE(f->items(), record("note", "text"));
    QCOMPARE(f->view.selected, -1);
    QVERIFY(f->view.editor.isEmpty());
    QCOMPARE(f->form.Msg, QStringLiteral("New item name..."));
    QVERIFY(f->view.boxes.isEmpty());
}

void TestNewItem::failedWriteIsReportedAndLeavesTheFileWhole_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only file") << true;
    QTest::newRow("disk full") << false;
}

void TestNewItem::failedWriteIsReportedAndLeavesTheFileWhole() {
    QFETCH(bool, readOnly);
    const QByteArray before = record("a") + record("b");
    f->writeItems(before);
    f->view.inputAnswers.enqueue(QStringLiteral("c"));
    f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    {
        std::optional<Unprivileged> unprivileged;
        std::optional<FileSizeLimit> limit;
        if (readOnly) {
            makeReadOnly(f->path(), f->dir.path());
            unprivileged.emplace();
        } else {
            limit.emplace(before.size() + 1000);
        }
        f->form.mnu_New_Click();
    }
    QCOMPARE(f->items(), before);
    QCOMPARE(f->view.boxes.size(), 1);
    QCOMPARE(f->view.boxes[0].style, MessageBoxStyle::Error);
    QVERIFY(f->view.boxes[0].message.contains(QLatin1String("zmr.lst")));
    QCOMPARE(f->view.items.size(), 2);
}

QTEST_GUILESS_MAIN(TestNewItem)
#include "tst_new_item.moc"
