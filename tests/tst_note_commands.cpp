#include "file_faults.h"
#include "form_fixture.h"

#include <QTest>

using ItemFiles::record;
using namespace MessageBoxResult;
using Command = void (MireloftMain::*)();
Q_DECLARE_METATYPE(Command)

// New, Save, Rename and Delete, checked on the bytes of zmr.lst.
class TestNoteCommands : public QObject {
    Q_OBJECT

private slots:
    void newAddsUnlessTakenLoosely_data();
    void newAddsUnlessTakenLoosely();
    void saveStoresTrimmedTextInTheFirstMatch_data();
    void saveStoresTrimmedTextInTheFirstMatch();
    void renameRewritesTheFirstLooseMatchInPlace_data();
    void renameRewritesTheFirstLooseMatchInPlace();
    void deleteRemovesEveryExactMatch_data();
    void deleteRemovesEveryExactMatch();
    void withoutSelectionNothingIsTouched();
    // A write that fails must be reported, never as success, and leave no part of a record.
    void failedWriteLeavesTheFileWhole_data();
    void failedWriteLeavesTheFileWhole();
    // Text goes to the disk in Windows-1252 and comes back unchanged.
    void everyByteSurvivesSelectionAndSave();
    // Characters the code page lacks, NULs, direction marks and huge pastes: stored as one
    // character each, cut to the field, and never spilling into the next record.
    void hostileTextStaysInItsRecord_data();
    void hostileTextStaysInItsRecord();
};

void TestNoteCommands::newAddsUnlessTakenLoosely_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("after");
    const QByteArray apple = record("Apple", "red");
    QTest::newRow("taken, but case and blanks differ") << apple << " aPPLE  " << apple;
    QTest::newRow("longer name") << apple << "Apples" << apple + record("Apples");
    QTest::newRow("blanks only, taken") << record("") << " " << record("");
    QTest::newRow("cancelled") << apple << "" << apple;
    // The whole typed name is compared, so its first 60 characters may repeat a stored tag.
    const QByteArray sixty(60, 'x');
    QTest::newRow("over 60, cut after the test")
        << record(sixty) << QString(sixty + "yz") << record(sixty) + record(sixty);
    QTest::newRow("fragment under half overwritten")
        << record("a") + QByteArray(500, 'z') << "b" << record("a") + record("b");
    QTest::newRow("fragment of a half overwritten, halves to even")
        << record("a") + QByteArray(1031, 'z') << "b" << record("a") + record("b");
    QTest::newRow("fragment over half kept")
        << record("a") + QByteArray(1500, 'z') << "b"
        << record("a") + QByteArray(1500, 'z') + QByteArray(562, '\0') + record("b");
    QTest::newRow("reserved of the last record read")
        << record("a", "", 0x1234) + record("b", "", 0xABCD) << "c"
        << record("a", "", 0x1234) + record("b", "", 0xABCD) + record("c", "", 0xABCD);
}

void TestNoteCommands::newAddsUnlessTakenLoosely() {
    QFETCH(QByteArray, before);
    QFETCH(QString, name);
    FormFixture f;
    f.writeItems(before);
    f.view.editor = QStringLiteral("unsaved");
    f.view.inputAnswers.enqueue(name);
    f.form.mnu_New_Click();
    QTEST(f.items(), "after");
    QVERIFY(f.view.boxes.isEmpty());
    QCOMPARE(f.view.inputs, QStringList{"New Item|New item name...|"});
    // The list is rebuilt on every path.
    QCOMPARE(f.view.items.size(), f.items().size() / 2062);
    QVERIFY(f.view.editor.isEmpty());
}

void TestNoteCommands::saveStoresTrimmedTextInTheFirstMatch_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    const QString saved = QStringLiteral("The text for: note\r\n...was sucessfully saved!");
    const QString x2000(2000, 'x');
    QTest::newRow("2000 once trimmed")
        << x2000 + "   " << QByteArray(2000, 'x') << saved << "Cardisto - 2003 bytes";
    QTest::newRow("2001 once trimmed")
        << "  " + x2000 + "y " << QByteArray(2000, 'x')
        << "The text you wanted to save was  1 characters longer than the program allows, and was "
           "truncated by that amount. You need to go back and edit it to be shorter, or perhaps "
           "break it into two or more separate items."
        << "Cardisto - 2004 bytes";
    QTest::newRow("line breaks and tabs kept")
        << " \tone\r\ntwo\r\n"
        << QByteArray("\tone\r\ntwo\r\n") << saved << "Cardisto - 12 bytes";
}

void TestNoteCommands::saveStoresTrimmedTextInTheFirstMatch() {
    QFETCH(QString, editor);
    QFETCH(QByteArray, body);
    const auto items = [](const QByteArray& body) {
        return record("other", "o", 1) + record("note", body, 0xBEEF) + record("note", "second");
    };
    FormFixture f;
    f.listAndSelect(items("old"), QStringLiteral("note"));
    f.view.editor = editor;
    f.form.mnu_SaveQuote_Click();
    QCOMPARE(f.items(), items(body));
    QFETCH(QString, message);
    QCOMPARE(f.view.boxes, QStringList{"Attention!|" + message + "|304"});
    QTEST(f.view.caption, "caption");
    QCOMPARE(f.view.selected, 0); // the list is not rebuilt
}

void TestNoteCommands::renameRewritesTheFirstLooseMatchInPlace_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("after");
    const QByteArray a = record("a", "A", 1), c = record("c", "C");
    QTest::newRow("taken name; body, reserved and place kept")
        << a + record("b", "B", 0x7FFF) + c << "b"
        << "a" << a + record("a", "B", 0x7FFF) + c;
    // The later record's entry is selected, but the first loose match in file order is renamed.
    QTest::newRow("first loose match in file order")
        << record("  NOTE", "first") + record("note", "second") << "note"
        << "new" << record("new", "first") + record("note", "second");
    QTest::newRow("blank tag warns, then renames") << record("") + a << ""
                                                   << "named" << record("named") + a;
    QTest::newRow("cancelled") << a << "a"
                               << "" << a;
}

void TestNoteCommands::renameRewritesTheFirstLooseMatchInPlace() {
    QFETCH(QByteArray, before);
    QFETCH(QString, selected);
    QFETCH(QString, answer);
    FormFixture f;
    f.listAndSelect(before, selected);
    f.view.editor = QStringLiteral("unsaved");
    f.view.inputAnswers.enqueue(answer);
    f.form.mnu_rename_Click();
    QTEST(f.items(), "after");
    QCOMPARE(f.view.boxes.size(), selected.isEmpty() ? 1 : 0);
    QCOMPARE(f.view.inputs, QStringList{"New Item|New item name...|" + selected.leftJustified(60)});
    QCOMPARE(f.view.editor.isEmpty(), !answer.isEmpty()); // only a rename rebuilds the list
}

void TestNoteCommands::deleteRemovesEveryExactMatch_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("after");
    const QByteArray a = record("a", "A", 0x0102), b = record("b", "B", 0x7FFF), c = record("c");
    QTest::newRow("every duplicate") << b + a + c + a + a << "a" << Yes << b + c;
    QTest::newRow("case and leading blanks differ")
        << record("Note") + record("note") + record("  Note") << "Note" << Yes
        << record("note") + record("  Note");
    QTest::newRow("only item") << a << "a" << Yes << QByteArray();
    QTest::newRow("fragment dropped") << a + b + QByteArray(500, 'z') << "a" << Yes << b;
    QTest::newRow("blank tag warns, then asks") << record("") + a << "" << Yes << a;
    QTest::newRow("answer No") << a + b << "a" << No << a + b;
}

void TestNoteCommands::deleteRemovesEveryExactMatch() {
    QFETCH(QByteArray, before);
    QFETCH(QString, tag);
    QFETCH(int, answer);
    FormFixture f;
    // What an interrupted deletion left must not slip into the new file.
    ItemFiles::write(f.path("zmr.tmp"), record("x") + record("y"));
    f.listAndSelect(before, tag);
    f.view.editor = QStringLiteral("unsaved");
    f.view.boxAnswers.enqueue(answer);
    f.form.mnu_delete_Click();
    QTEST(f.items(), "after");
    QCOMPARE(f.view.boxes.last(), "Confirm|Delete Item: " + tag + " ?|276");
    QCOMPARE(QFile::exists(f.path("zmr.tmp")), answer == No);
    QCOMPARE(f.view.editor.isEmpty(), answer == Yes); // only a deletion rebuilds the list
}

void TestNoteCommands::withoutSelectionNothingIsTouched() {
    FormFixture f;
    f.form.mnu_SaveQuote_Click();
    f.form.mnu_rename_Click();
    f.form.mnu_delete_Click();
    QCOMPARE(f.items(), QByteArray("<missing>"));
    QCOMPARE(f.view.boxes, (QStringList{"Nothing to do!|Please pick an item to rename.|304",
                                        "Nothing to do!|Please pick an item to delete.|304"}));
}

void TestNoteCommands::failedWriteLeavesTheFileWhole_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("fileRights");
    QTest::addColumn<QByteArray>("folderRights");
    QTest::addColumn<int>("sizeLimit"); // -1: none
    QTest::addColumn<QString>("reason");
    const QByteArray r("r"), rw("rw"), rx("rx"), rwx("rwx");
    const QString denied = QStringLiteral("Permission denied"), full = qt_error_string(EFBIG);
    const Command New = &MireloftMain::mnu_New_Click, Save = &MireloftMain::mnu_SaveQuote_Click,
                  Delete = &MireloftMain::mnu_delete_Click;
    QTest::newRow("New, disk full") << New << rw << rwx << 4 * 2062 + 1000 << full;
    QTest::newRow("Save, read-only file") << Save << r << rwx << -1 << denied;
    QTest::newRow("Save, disk full") << Save << rw << rwx << 0 << full;
    QTest::newRow("Save, disk full within the record") << Save << rw << rwx << 1000 << full;
    QTest::newRow("Rename, read-only file")
        << Command(&MireloftMain::mnu_rename_Click) << r << rwx << -1 << denied;
    QTest::newRow("Delete, read-only file") << Delete << r << rwx << -1 << "can only be read";
    QTest::newRow("Delete, read-only folder") << Delete << rw << rx << -1 << denied;
    QTest::newRow("Delete, disk full") << Delete << rw << rwx << 1000 << full;
}

void TestNoteCommands::failedWriteLeavesTheFileWhole() {
    QFETCH(Command, command);
    QFETCH(QByteArray, fileRights);
    QFETCH(QByteArray, folderRights);
    QFETCH(int, sizeLimit);
    QFETCH(QString, reason);
    FormFixture f;
    const QByteArray before = record("a") + record("b") + record("c") + record("d");
    f.listAndSelect(before, QStringLiteral("a"));
    f.view.inputAnswers.enqueue(QStringLiteral("new name"));
    f.view.editor = QStringLiteral("new text");
    f.view.boxAnswers << Yes;
    allowOnly(f.path(), fileRights.constData());
    allowOnly(f.dir.path(), folderRights.constData());
    {
        Unprivileged unprivileged;
        std::optional<FileSizeLimit> limit;
        if (sizeLimit >= 0)
            limit.emplace(sizeLimit);
        (f.form.*command)();
    }
    QCOMPARE(f.items(), before);
    QVERIFY(!QFile::exists(f.path("zmr.tmp")));
    const QString error = f.view.boxes.last();
    QVERIFY2(error.contains(f.dir.path() + "/zmr.") && error.contains(reason) &&
                 error.endsWith("|16"),
             qPrintable(error));
    QCOMPARE(f.view.caption, QStringLiteral("Cardisto"));
}

void TestNoteCommands::everyByteSurvivesSelectionAndSave() {
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    FormFixture f;
    f.listAndSelect(record("all", all), QStringLiteral("all"));
    f.form.ML_Selector_Click();
    QCOMPARE(f.view.editor.at(0x80), QChar(0x20AC)); // the euro sign
    f.form.mnu_SaveQuote_Click();
    QCOMPARE(f.items(), record("all", all));
}

void TestNoteCommands::hostileTextStaysInItsRecord_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("text"); // typed into the editor or the name dialog
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("cut"); // Save's warning instead of its success message
    const Command Save = &MireloftMain::mnu_SaveQuote_Click, New = &MireloftMain::mnu_New_Click;
    const QString emoji = QStringLiteral("\U0001F600");
    QTest::newRow("Save, one ? per character outside the code page")
        << Save << "a\u0100b" + emoji + QChar(0xD800) + "c" << QByteArray("a?b??c") << false;
    QTest::newRow("Save, NUL characters")
        << Save << QString::fromLatin1("a\0\0b", 4) << QByteArray("a\0\0b", 4) << false;
    QTest::newRow("Save, right-to-left marks")
        << Save << "\u200F\u202Eabc\u202C" << QByteArray("??abc?") << false;
    QTest::newRow("Save, a million characters pasted")
        << Save << QString(1000000, 'm') << QByteArray(2000, 'm') << true;
    QTest::newRow("Save, 2000 characters beyond the first 65536 fit")
        << Save << emoji.repeated(2000) << QByteArray(2000, '?') << false;
    QTest::newRow("Save, the 2001st character takes two units")
        << Save << QString(1999, 'x') + emoji + emoji << QByteArray(1999, 'x') + '?' << true;
    QTest::newRow("New, a character beyond the first 65536")
        << New << "n" + emoji << QByteArray("n?") << false;
    QTest::newRow("New, NUL in the name")
        << New << QString::fromLatin1("a\0b", 3) << QByteArray("a\0b", 3) << false;
    QTest::newRow("New, a million characters pasted")
        << New << QString(1000000, 'n') << QByteArray(60, 'n') << false;
    QTest::newRow("Rename, right-to-left override")
        << Command(&MireloftMain::mnu_rename_Click) << "\u202Eevil" << QByteArray("?evil") << false;
}

void TestNoteCommands::hostileTextStaysInItsRecord() {
    QFETCH(Command, command);
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    FormFixture f;
    const QByteArray before = record("before", "B"), after = record("after", "A");
    f.listAndSelect(before + record("target", "T") + after, QStringLiteral("target"));
    f.view.editor = text;
    f.view.inputAnswers.enqueue(text);
    (f.form.*command)();
    if (command == &MireloftMain::mnu_New_Click)
        QCOMPARE(f.items(), before + record("target", "T") + after + record(stored));
    else if (command == &MireloftMain::mnu_SaveQuote_Click)
        QCOMPARE(f.items(), before + record("target", stored) + after);
    else
        QCOMPARE(f.items(), before + record(stored, "T") + after);
    QFETCH(bool, cut);
    QCOMPARE(f.view.boxes.value(0).contains("truncated"), cut);
}

QTEST_GUILESS_MAIN(TestNoteCommands)
#include "tst_note_commands.moc"
