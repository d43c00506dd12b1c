#include "file_faults.h"
#include "form_fixture.h"

#include <QTest>

#include <clocale>
#include <numeric>

using ItemFiles::record;
using namespace MessageBoxResult;
using Command = void (MireloftMain::*)();
Q_DECLARE_METATYPE(Command)

// Start-up, the tag list and the commands on items, checked on the bytes of zmr.lst.
class TestNoteCommands : public QObject {
    Q_OBJECT

private slots:
    // The tag order test sets the locale; the others run under the environment's.
    void cleanup() {
        std::setlocale(LC_ALL, "");
        QLocale::setDefault(QLocale::system());
    }

    void listsWholeRecordsSortedWithoutCase_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QStringList>("list");
        QTest::newRow("missing file created empty")
            << QByteArray("C") << QByteArray() << QStringList();
        QTest::newRow("fragment never read")
            << QByteArray("C") << record("c") + record("b") + QByteArray(500, 'x')
            << QStringList{"b", "c"};
        // A case-sensitive order shows in the C locale as capitals first, in en_US as a before A.
        for (const char* locale : {"C", "en_US.UTF-8"}) {
            QTest::addRow("case ignored, %s", locale)
                << QByteArray(locale)
                << record("b") + record("A") + record("B a") + record("a") + record("C") +
                       record("B")
                << QStringList{"A", "a", "b", "B", "B a", "C"};
        }
    }
    void listsWholeRecordsSortedWithoutCase() {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, list);
        QVERIFY2(std::setlocale(LC_ALL, locale),
                 locale + " is missing: scripts/install-deps.sh makes it");
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
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

    // A file that cannot be written still lists; one that cannot be read is reported, not fatal.
    void startUpReadsTheFileBesideTheProgram_data() {
        QTest::addColumn<int>("fileMode"); // 0: no file
        QTest::addColumn<bool>("listed");
        QTest::newRow("read-only file") << 0444 << true;
        QTest::newRow("unreadable file") << 0222 << false;
        QTest::newRow("no file") << 0 << false;
    }
    void startUpReadsTheFileBesideTheProgram() {
        QFETCH(int, fileMode);
        QFETCH(bool, listed);
        QTemporaryDir elsewhere;
        ItemFiles::write(elsewhere.filePath("zmr.lst"), record("wrong one"));
        FormFixture f;
        if (fileMode) {
            f.writeItems(record("note", "text"));
            chmod(qPrintable(f.path()), fileMode);
        }
        chmod(qPrintable(f.dir.path()), 0555);
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
        QCOMPARE(QFile::exists(f.path()), fileMode != 0);
    }

    void newAddsUnlessTakenLoosely_data() {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("after");
        const QByteArray apple = record("Apple", "red");
        QTest::newRow("missing file") << QByteArray() << "a" << record("a");
        QTest::newRow("empty file") << QByteArray("") << "a" << record("a");
        QTest::newRow("taken, but case and blanks differ") << apple << " aPPLE  " << apple;
        QTest::newRow("longer name") << apple << "Apples" << apple + record("Apples");
        QTest::newRow("blanks only, taken") << record("") << " " << record("");
        QTest::newRow("cancelled") << apple << "" << apple;
        // Each character is upper-cased on its own: beyond Latin-1 too, and ß stays one letter.
        const QByteArray letters = record("\xE9t\xE9 \x9A\xFF\xB5");
        QTest::newRow("letters beyond ASCII, taken")
            << letters << "\u00C9T\u00C9 \u0160\u0178\u039C" << letters;
        const QByteArray strasse = record("Stra\xDF\x65"); // Straße
        QTest::newRow("ß is not SS") << strasse << "STRASSE" << strasse + record("STRASSE");
        QTest::newRow("ß, taken") << strasse << "STRA\u00DFE" << strasse;
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
    void newAddsUnlessTakenLoosely() {
        QFETCH(QByteArray, before);
        QFETCH(QString, name);
        FormFixture f;
        if (!before.isNull())
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

    // Selection shows, and Save rewrites, the first exact match only: trimmed of blanks alone.
    void selectionAndSaveUseTheFirstExactMatch_data() {
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
            << "The text you wanted to save was  1 characters longer than the program allows, and "
               "was truncated by that amount. You need to go back and edit it to be shorter, or "
               "perhaps break it into two or more separate items."
            << "Cardisto - 2004 bytes";
        QTest::newRow("line breaks and tabs kept")
            << " \tone\r\ntwo\r\n"
            << QByteArray("\tone\r\ntwo\r\n") << saved << "Cardisto - 12 bytes";
    }
    void selectionAndSaveUseTheFirstExactMatch() {
        QFETCH(QString, editor);
        QFETCH(QByteArray, body);
        const auto items = [](const QByteArray& body) {
            return record("other", "o", 1) + record("Note", "loose") +
                   record("note", body, 0xBEEF) + record("note", "second");
        };
        FormFixture f;
        f.listAndSelect(items("  \told\r\n  "), QStringLiteral("note"));
        f.form.ML_Selector_Click();
        QCOMPARE(f.view.editor, QStringLiteral("\told\r\n"));
        QCOMPARE(f.view.caption, QStringLiteral("Cardisto - 6 bytes"));
        f.view.editor = editor;
        f.form.mnu_SaveQuote_Click();
        QCOMPARE(f.items(), items(body));
        QFETCH(QString, message);
        QCOMPARE(f.view.boxes, QStringList{"Attention!|" + message + "|304"});
        QTEST(f.view.caption, "caption");
        QCOMPARE(f.view.selected, 1); // the list is not rebuilt
    }

    void renameRewritesTheFirstLooseMatchInPlace_data() {
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
        const QByteArray strasse = record("Stra\xDF\x65", "first"); // Straße
        QTest::newRow("ß is not SS") << strasse + record("Strasse") << "Strasse"
                                     << "new" << strasse + record("new");
        QTest::newRow("blank tag warns, then renames") << record("") + a << ""
                                                       << "named" << record("named") + a;
        QTest::newRow("cancelled") << a << "a"
                                   << "" << a;
    }
    void renameRewritesTheFirstLooseMatchInPlace() {
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
        QCOMPARE(f.view.inputs,
                 QStringList{"New Item|New item name...|" + selected.leftJustified(60)});
        QCOMPARE(f.view.editor.isEmpty(), !answer.isEmpty()); // only a rename rebuilds the list
    }

    void deleteRemovesEveryExactMatch_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("after");
        const QByteArray a = record("a", "A", 0x0102), b = record("b", "B", 0x7FFF),
                         c = record("c");
        QTest::newRow("every duplicate") << b + a + c + a + a << "a" << Yes << b + c;
        QTest::newRow("case and leading blanks differ")
            << record("Note") + record("note") + record("  Note") << "Note" << Yes
            << record("note") + record("  Note");
        QTest::newRow("only item") << a << "a" << Yes << QByteArray();
        QTest::newRow("fragment dropped") << a + b + QByteArray(500, 'z') << "a" << Yes << b;
        QTest::newRow("blank tag warns, then asks") << record("") + a << "" << Yes << a;
        QTest::newRow("answer No") << a + b << "a" << No << a + b;
    }
    void deleteRemovesEveryExactMatch() {
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

    void withoutSelectionNothingIsTouched() {
        FormFixture f;
        f.form.mnu_SaveQuote_Click();
        f.form.mnu_rename_Click();
        f.form.mnu_delete_Click();
        QCOMPARE(f.items(), QByteArray("<missing>"));
        QCOMPARE(f.view.boxes, (QStringList{"Nothing to do!|Please pick an item to rename.|304",
                                            "Nothing to do!|Please pick an item to delete.|304"}));
    }

    // A write that fails must be reported, never as success, and leave no part of a record.
    void failedWriteLeavesTheFileWhole_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("sizeLimit"); // -1: none
        QTest::addColumn<QString>("reason");
        const QString denied = QStringLiteral("Permission denied"), full = qt_error_string(EFBIG);
        const Command New = &MireloftMain::mnu_New_Click, Save = &MireloftMain::mnu_SaveQuote_Click,
                      Delete = &MireloftMain::mnu_delete_Click;
        QTest::newRow("New, disk full") << New << 0666 << 0777 << 4 * 2062 + 1000 << full;
        // Rename writes through the same record write as Save.
        QTest::newRow("Save, read-only file") << Save << 0444 << 0777 << -1 << denied;
        QTest::newRow("Save, disk full") << Save << 0666 << 0777 << 0 << full;
        QTest::newRow("Save, disk full within the record") << Save << 0666 << 0777 << 1000 << full;
        QTest::newRow("Delete, read-only file")
            << Delete << 0444 << 0777 << -1 << "can only be read";
        QTest::newRow("Delete, read-only folder") << Delete << 0666 << 0555 << -1 << denied;
        QTest::newRow("Delete, disk full") << Delete << 0666 << 0777 << 1000 << full;
    }
    void failedWriteLeavesTheFileWhole() {
        QFETCH(Command, command);
        QFETCH(int, sizeLimit);
        QFETCH(QString, reason);
        FormFixture f;
        const QByteArray before = record("a") + record("b") + record("c") + record("d");
        f.listAndSelect(before, QStringLiteral("a"));
        f.view.inputAnswers.enqueue(QStringLiteral("new name"));
        f.view.editor = QStringLiteral("new text");
        f.view.boxAnswers << Yes;
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        chmod(qPrintable(f.path()), fileMode);
        chmod(qPrintable(f.dir.path()), folderMode);
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

    // Each byte reads as the character that a table made without our code gives it, each such
    // character is stored as that byte again, and one outside the code page is stored as '?'.
    void textIsWindows1252BothWays() {
        QFile file(QFINDTESTDATA("windows1252.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString table;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.startsWith('#')) {
                for (const QByteArray& code : line.split(' ').mid(1))
                    table += QChar(code.toUShort(nullptr, 16));
            }
        }
        QCOMPARE(table.size(), 256);
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), char(0));
        FormFixture f;
        f.listAndSelect(record("all", all), QStringLiteral("all"));
        f.form.ML_Selector_Click();
        QCOMPARE(f.view.editor, table);
        f.writeItems(record("all"));
        f.view.editor = table;
        f.form.mnu_SaveQuote_Click();
        QCOMPARE(f.items(), record("all", all));
    }

    // Characters the code page lacks, NULs, direction marks and huge pastes: stored as one
    // character each, cut to the field, and never spilling into the next record.
    void hostileTextStaysInItsRecord_data() {
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
            << Command(&MireloftMain::mnu_rename_Click) << "\u202Eevil" << QByteArray("?evil")
            << false;
    }

    void hostileTextStaysInItsRecord() {
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
};

QTEST_GUILESS_MAIN(TestNoteCommands)
#include "tst_note_commands.moc"
