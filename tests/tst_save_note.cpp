#include "file_faults.h"
#include "form_fixture.h"

#include "app/message_box_style.h"

#include <QTest>

using ItemFiles::record;

class TestSaveNote : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }

    void storesTrimmedTextInTheFirstMatch_data();
    void storesTrimmedTextInTheFirstMatch();
    void withoutSelectionTouchesNothing();
    // A save that did not reach the disk must never be reported as done.
    void failedWriteIsReportedInsteadOfSuccess_data();
    void failedWriteIsReportedInsteadOfSuccess();

private:
    static QByteArray file(const QByteArray& body) {
        return record("other", "o", 1) + record("note", body, 0xBEEF) + record("note", "second");
    }
    std::unique_ptr<FormFixture> f;
};

void TestSaveNote::init() {
    f = std::make_unique<FormFixture>();
    f->writeItems(file("old"));
    f->form.DisplayTags();
    f->view.select(QStringLiteral("note").leftJustified(60));
}

void TestSaveNote::storesTrimmedTextInTheFirstMatch_data() {
    const QString saved = QStringLiteral("The text for: note\r\n...was sucessfully saved!");
    const auto cut = [](int excess) {
        return QStringLiteral("The text you wanted to save was  %1 characters longer than the "
                              "program allows, and was truncated by that amount. You need to go "
                              "back and edit it to be shorter, or perhaps break it into two or "
                              "more separate items.")
            .arg(excess);
    };
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    const QString x2000(2000, 'x');
    QTest::newRow("2000") << x2000 << QByteArray(2000, 'x') << saved << "Cardisto - 2000 bytes";
    QTest::newRow("2001") << x2000 + "y" << QByteArray(2000, 'x') << cut(1)
                          << "Cardisto - 2001 bytes";
    QTest::newRow("over only by blanks")
        << x2000 + "   " << QByteArray(2000, 'x') << saved << "Cardisto - 2003 bytes";
    QTest::newRow("blanks both ends, over")
        << "  " + x2000 + "yyyyy " << QByteArray(2000, 'x') << cut(5) << "Cardisto - 2008 bytes";
    QTest::newRow("blanks before") << "  hi" << QByteArray("hi") << saved << "Cardisto - 4 bytes";
    QTest::newRow("empty") << "" << QByteArray() << saved << "Cardisto - 0 bytes";
    QTest::newRow("line breaks and tabs kept")
        << "\tone\r\ntwo\r\n"
        << QByteArray("\tone\r\ntwo\r\n") << saved << "Cardisto - 11 bytes";
}

void TestSaveNote::storesTrimmedTextInTheFirstMatch() {
    QFETCH(QString, editor);
    QFETCH(QByteArray, body);
    f->view.editor = editor;
    f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    f->form.mnu_SaveQuote_Click();
    QCOMPARE(f->items(), file(body));
    QCOMPARE(f->view.boxes.size(), 1);
    QTEST(f->view.boxes[0].message, "message");
    QCOMPARE(f->view.boxes[0].title, QStringLiteral("Attention!"));
    QCOMPARE(f->view.boxes[0].style, MessageBoxStyle::Warning);
    QCOMPARE(f->form.Response, MessageBoxResult::Ok);
    QTEST(f->view.caption, "caption");
    QCOMPARE(f->view.editor, editor);
    QCOMPARE(f->view.selected, 0);
}

void TestSaveNote::withoutSelectionTouchesNothing() {
    QFile::remove(f->path());
    f->view.selected = -1;
    f->view.editor = QStringLiteral("text");
    f->form.mnu_SaveQuote_Click();
    QCOMPARE(f->items(), QByteArray("<missing>"));
    QCOMPARE(f->view.caption, QStringLiteral("Cardisto"));
}

void TestSaveNote::failedWriteIsReportedInsteadOfSuccess_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only file") << true;
    QTest::newRow("write fails") << false;
}

void TestSaveNote::failedWriteIsReportedInsteadOfSuccess() {
    QFETCH(bool, readOnly);
    f->view.editor = QStringLiteral("new text");
    f->view.boxAnswers.enqueue(MessageBoxResult::Ok);
    {
        std::optional<Unprivileged> unprivileged;
        std::optional<FileSizeLimit> limit;
        if (readOnly) {
            makeReadOnly(f->path(), f->dir.path());
            unprivileged.emplace();
        } else {
            limit.emplace(0);
        }
        f->form.mnu_SaveQuote_Click();
    }
    QCOMPARE(f->items(), file("old"));
    QCOMPARE(f->view.boxes.size(), 1);
    QCOMPARE(f->view.boxes[0].style, MessageBoxStyle::Error);
    QCOMPARE(f->view.caption, QStringLiteral("Cardisto"));
}

QTEST_GUILESS_MAIN(TestSaveNote)
#include "tst_save_note.moc"
