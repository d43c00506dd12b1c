#include "form_fixture.h"

#include "item_file.h"
#include "item_file_lock.h"
#include "store_error.h"
#include "windows1252.h"

#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <glob.h>
#include <numeric>
#include <sys/file.h>
#include <thread>

using ItemFiles::record;
using namespace MessageBoxResult;
using namespace Qt::StringLiterals;
using Command = void (MireloftMain::*)();
Q_DECLARE_METATYPE(Command)

namespace {
const Command DisplayTags = &MireloftMain::DisplayTags, Select = &MireloftMain::ML_Selector_Click,
              New = &MireloftMain::mnu_New_Click, Save = &MireloftMain::mnu_SaveQuote_Click,
              Rename = &MireloftMain::mnu_rename_Click, Delete = &MireloftMain::mnu_delete_Click;
const QString Saved = QStringLiteral("The text for: note\r\n...was sucessfully saved!");
// Another copy that takes the file just before this one's next shared lock: after a command's
// change, before the list's refresh.
bool anotherCopyComes = false;
std::optional<ItemFileLock> anotherCopy;
} // namespace

extern "C" int flock(int fd, int operation) noexcept {
    static const auto next = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    if ((operation & LOCK_SH) && std::exchange(anotherCopyComes, false))
        anotherCopy.emplace(ItemFileName, ItemFileLock::Exclusive, std::chrono::seconds(5));
    return next(fd, operation);
}

// Start-up, the tag list and the commands on items, checked on the bytes of zmr.lst, also as
// another copy of the program is using it.
class TestNoteCommands : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        anotherCopy.reset();
        std::setlocale(LC_ALL, "");
        QLocale::setDefault(QLocale::system());
    }

    // A case-sensitive order shows in C as capitals first, in en_US as a before A.
    void listsWholeRecordsSortedWithoutCase_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QStringList>("list");
        QTest::newRow("missing file created empty") << "C"_ba << QByteArray() << QStringList();
        QTest::newRow("fragment never read")
            << "C"_ba << record("c") + record("b") + QByteArray(500, 'x') << QStringList{"b", "c"};
        for (const char* locale : {"C", "en_US.UTF-8"})
            QTest::addRow("case ignored, %s", locale)
                << QByteArray(locale)
                << record("b") + record("A") + record("B a") + record("a") + record("C") +
                       record("B")
                << QStringList{"A", "a", "b", "B", "B a", "C"};
    }
    void listsWholeRecordsSortedWithoutCase() {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, list);
        QVERIFY2(std::setlocale(LC_ALL, locale), locale + " is missing: see install-deps.sh");
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
    // The folder is entered by its bytes; one that cannot be entered leaves every command refusing
    // rather than working on the current folder's items.
    void startUpReadsTheFileBesideTheProgram_data() {
        QTest::addColumn<QByteArray>("folder"); // the program's, within the test folder
        QTest::addColumn<int>("fileMode");      // 0: no file
        QTest::addColumn<QString>("reason");    // of the error shown; empty: none
        QTest::newRow("read-only file") << ""_ba << 0444 << "";
        QTest::newRow("unreadable file") << ""_ba << 0222 << "Permission denied";
        QTest::newRow("no file") << ""_ba << 0 << "Permission denied";
        QTest::newRow("folder not UTF-8") << "/caf\xE9"_ba << 0444 << "";
        QTest::newRow("path beyond PATH_MAX")
            << "/x"_ba.repeated(2100) << 0 << "File name too long";
    }
    void startUpReadsTheFileBesideTheProgram() {
        QFETCH(QByteArray, folder);
        QFETCH(int, fileMode);
        QFETCH(QString, reason);
        QTemporaryDir elsewhere;
        ItemFiles::write(elsewhere.filePath("zmr.lst"), record("wrong one", "wrong"));
        chmod(qPrintable(elsewhere.path()), 0755); // readable, as a wrong folder would be
        FormFixture f;
        if (fileMode) {
            f.writeItems(record("note", "text"));
            chmod(qPrintable(f.path()), fileMode);
        }
        const QByteArray latin1 = QFile::encodeName(f.dir.path()) + "/caf\xE9";
        QVERIFY(symlink(".", latin1) == 0); // Qt cannot remove it
        f.desktop.folder += folder;
        chmod(qPrintable(f.dir.path()), 0555);
        QDir::setCurrent(elsewhere.path());
        f.view.items = QStringList{QStringLiteral("wrong one").leftJustified(60)};
        {
            Unprivileged unprivileged;
            f.form.Form_Load();
            f.view.selected = 0;
            f.form.ML_Selector_Click();
        }
        unlink(latin1);
        QCOMPARE(f.form.HelpFile, QStringLiteral("Kevra.hlp"));
        QCOMPARE(f.view.editor, reason.isEmpty() ? QStringLiteral("text") : QString());
        const QString box = f.view.boxes.value(0);
        QVERIFY2(reason.isEmpty()
                     ? box.isEmpty()
                     : box.contains(f.dir.path()) && box.contains(reason) && box.endsWith("|16"),
                 qPrintable(box));
        QCOMPARE(QFile::exists(f.path()), fileMode != 0);
    }

    // New, Rename and Delete on the bytes of zmr.lst, with the entry of `picked` selected (null:
    // none). Save does nothing then. New compares names trimmed, each character upper-cased on its
    // own (ß stays one letter) and refuses a taken one; Rename rewrites the first loose match in
    // file order in place; Delete removes exact matches only, keeps a linked file linked and its
    // rights.
    void commandsRewriteTheFile_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("answer"); // typed, or Delete's Yes or No
        QTest::addColumn<QByteArray>("after");
        const QByteArray apple = record("Apple", "red"), strasse = record("Stra\xDF\x65", "first"),
                         sixty(60, 'x'), a = record("a", "A", 0x0102), b = record("b", "B", 0x7FFF),
                         c = record("c", "C"), e = record("\xE9t\xE9 \x9A\xFF\xB5");
        const auto row = [](const char* name, Command command, const QByteArray& before,
                            const QString& picked, const QString& answer, const QByteArray& after) {
            QTest::newRow(name) << command << before << picked << answer << after;
        };
        row("New, missing file", New, {}, {}, "a", record("a"));
        row("New, empty file", New, "", {}, "a", record("a"));
        row("New, taken, but case and blanks differ", New, apple, {}, " aPPLE  ", apple);
        row("New, longer name", New, apple, {}, "Apples", apple + record("Apples"));
        row("New, cancelled", New, apple, {}, "", apple);
        row("New, beyond ASCII, taken", New, e, {}, "\u00C9T\u00C9 \u0160\u0178\u00B5", e);
        row("New, ß is not SS", New, strasse, {}, "STRASSE", strasse + record("STRASSE"));
        // The whole typed name is compared, so its first 60 characters may repeat a stored tag.
        row("New, over 60, cut after the test", New, record(sixty), {}, sixty + "yz",
            record(sixty) + record(sixty));
        row("New, fragment of a half overwritten", New, a + QByteArray(1031, 'z'), {}, "b",
            a + record("b", "", 0x0102));
        row("New, fragment over half kept", New, a + QByteArray(1500, 'z'), {}, "b",
            a + QByteArray(1500, 'z') + QByteArray(562, '\0') + record("b", "", 0x0102));
        row("New, reserved of the last record read", New, a + b, {}, "c",
            a + b + record("c", "", 0x7FFF));
        row("Rename, taken name; body, reserved and place kept", Rename, a + b + c, "b", "a",
            a + record("a", "B", 0x7FFF) + c);
        // The later record's entry is selected, but the first loose match is renamed.
        row("Rename, first loose match in file order", Rename,
            record("  NOTE", "first") + record("note", "second"), "note", "new",
            record("new", "first") + record("note", "second"));
        row("Rename, ß is not SS", Rename, strasse + record("Strasse"), "Strasse", "new",
            strasse + record("new"));
        row("Rename, blank tag warns, then renames", Rename, record("") + a, "", "named",
            record("named") + a);
        row("Rename, cancelled", Rename, a, "a", "", a);
        row("Rename, nothing picked", Rename, a, {}, "x", a);
        row("Delete, every duplicate, through a link", Delete, b + a + c + a + a, "a", "Yes",
            b + c);
        row("Delete, case and leading blanks differ", Delete,
            record("Note") + record("note") + record("  Note"), "Note", "Yes",
            record("note") + record("  Note"));
        row("Delete, fragment dropped", Delete, a + b + QByteArray(500, 'z'), "a", "Yes", b);
        row("Delete, blank tag warns, then asks", Delete, record("") + a, "", "Yes", a);
        row("Delete, answer No", Delete, a + b, "a", "No", a + b);
        row("Save, nothing picked", Save, a, {}, "", a);
        row("Delete, nothing picked", Delete, a, {}, "Yes", a);
        row("New, the list's refresh finds the file busy", New, apple, {}, "Pear",
            apple + record("Pear"));
        row("Rename, the list's refresh finds the file busy", Rename, a + b, "b", "c",
            a + record("c", "B", 0x7FFF));
        row("Delete, the list's refresh finds the file busy", Delete, a + b, "a", "Yes", b);
    }
    void commandsRewriteTheFile() {
        QFETCH(Command, command);
        QFETCH(QByteArray, before);
        QFETCH(QString, picked);
        QFETCH(QString, answer);
        FormFixture f;
        // What an interrupted deletion left must not slip into the new file.
        ItemFiles::write(f.path("zmr.tmp"), record("x") + record("y"));
        // A link into a folder whose name is not UTF-8, where the user keeps a file of their own.
        const bool linked = QByteArray(QTest::currentDataTag()).contains("link");
        QVERIFY(!linked ||
                (mkdir("caf\xE9", 0777) == 0 && symlink("caf\xE9/notes.lst", "zmr.lst") == 0 &&
                 close(creat("caf\xE9/notes.lst.tmp", 0600)) == 0));
        if (!before.isNull()) {
            f.listAndSelect(before, picked);
            // Neither the default rights nor what umask 077 gives, and another user's.
            QVERIFY(chmod("zmr.lst", 0640) == 0 && chown("zmr.lst", 65534, 65534) == 0);
        }
        const QStringList listed = f.view.items;
        const bool busy = QByteArray(QTest::currentDataTag()).contains("busy");
        anotherCopyComes = busy;
        f.view.editor = QStringLiteral("unsaved");
        f.view.inputAnswers.enqueue(answer);
        f.view.boxAnswers.enqueue(answer == "No" ? No : Yes);
        (f.form.*command)();
        QTEST(f.items(), "after");
        const bool asks = command == New || !picked.isNull(), named = asks && command != Delete;
        QCOMPARE(f.view.inputs, named
                                    ? QStringList{"New Item|New item name...|" +
                                                  (command == New ? "" : picked.leftJustified(60))}
                                    : QStringList());
        QStringList boxes;
        if ((command == Rename || command == Delete) && picked.trimmed().isEmpty())
            boxes << "Nothing to do!|Please pick an item to " +
                         QString(command == Delete ? "delete" : "rename") + ".|304";
        if (command == Delete && asks)
            boxes << "Confirm|Delete Item: " + picked + " ?|276";
        const QString error = busy ? f.view.boxes.takeLast() : QString();
        QVERIFY2(!busy || (error.startsWith("Cardisto|The file \"" + f.path()) &&
                           error.endsWith("\n\nThe change was written to the file, but the list "
                                          "could not be refreshed: it still shows the items as "
                                          "they were before the change.|16")),
                 qPrintable(error));
        QCOMPARE(f.view.boxes, boxes);
        // Only a change, and New on every path, rebuilds the list; or else it is left as it was.
        const bool changed = command == New || (asks && !answer.isEmpty() && answer != "No");
        QCOMPARE(f.view.editor.isEmpty(), changed && !busy);
        QCOMPARE(f.view.items.size(), changed && !busy ? f.items().size() / 2062 : listed.size());
        QCOMPARE(QFile::exists(f.path("zmr.tmp")), !(command == Delete && changed) || linked);
        QCOMPARE(QFileInfo(f.path()).isSymLink(), linked);
        struct stat after {};
        QVERIFY(before.isNull() ||
                (stat("zmr.lst", &after) == 0 && (after.st_mode & 07777) == 0640 &&
                 after.st_uid == 65534 && after.st_gid == 65534));
        glob_t left{}; // the file and the user's, no temporary one
        glob("caf\xE9/*", 0, nullptr, &left);
        QCOMPARE(int(left.gl_pathc), linked ? 2 : 0);
        globfree(&left);
        for (const char* name : {"caf\xE9/notes.lst.tmp", "caf\xE9/notes.lst", "caf\xE9"})
            std::remove(name); // Qt cannot
    }

    // Selection shows, and Save rewrites, the first exact match only, trimmed of blanks alone,
    // one byte per character (the code page's or '?'), cut to the field; the caption counts
    // the editor's text as it stands.
    void selectionAndSaveUseTheFirstExactMatch_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption"); // empty: not checked
        const QString x2000(2000, 'x'), emoji = QStringLiteral("\U0001F600");
        const auto cut = [](int excess) {
            return QStringLiteral("The text you wanted to save was  %1 characters longer than the "
                                  "program allows, and was truncated by that amount. You need to "
                                  "go back and edit it to be shorter, or perhaps break it into "
                                  "two or more separate items.")
                .arg(excess);
        };
        QTest::newRow("2000 once trimmed")
            << x2000 + "   " << QByteArray(2000, 'x') << Saved << "Cardisto - 2003 bytes";
        QTest::newRow("2001 once trimmed")
            << "  " + x2000 + "y " << QByteArray(2000, 'x') << cut(1) << "Cardisto - 2004 bytes";
        QTest::newRow("a million characters pasted")
            << QString(1000000, 'm') << QByteArray(2000, 'm') << cut(998000)
            << "Cardisto - 1000000 bytes";
        QTest::newRow("right-to-left marks") << "\u200F\u202Eabc\u202C"
                                             << "??abc?"_ba << Saved << QString();
        QTest::newRow("line breaks and tabs kept")
            << " \tone\r\ntwo\r\n"
            << "\tone\r\ntwo\r\n"_ba << Saved << "Cardisto - 12 bytes";
        QTest::newRow("one ? per character outside the code page")
            << "a\u0100b" + emoji + QChar(0xD800) + "c"
            << "a?b??c"_ba << Saved << QString();
        QTest::newRow("NUL characters")
            << QString::fromLatin1("a\0\0b", 4) << QByteArray("a\0\0b", 4) << Saved << QString();
        QTest::newRow("2000 characters beyond the first 65536 fit")
            << emoji.repeated(2000) << QByteArray(2000, '?') << Saved << QString();
    }
    void selectionAndSaveUseTheFirstExactMatch() {
        QFETCH(QString, editor);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QFETCH(QString, caption);
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
        QCOMPARE(f.view.boxes, QStringList{"Attention!|" + message + "|304"});
        if (!caption.isEmpty())
            QCOMPARE(f.view.caption, caption);
        QCOMPARE(f.view.selected, 1); // the list is not rebuilt
    }

    // A write that fails must be reported, never as success, and leave no part of a record. A
    // deletion that cannot keep the file's owner, or finds zmr.tmp not its own, changes nothing.
    void failedWriteLeavesTheFileWhole_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("sizeLimit"); // -1: none
        QTest::addColumn<int>("owner");     // of the file; the commands run as 65534
        QTest::addColumn<QString>("reason");
        const QString denied = QStringLiteral("Permission denied"), full = qt_error_string(EFBIG);
        const int user = 65534;
        QTest::newRow("New, disk full") << New << 0666 << 0777 << 4 * 2062 + 1000 << user << full;
        // Rename writes through the same record write as Save.
        QTest::newRow("Save, read-only file") << Save << 0444 << 0777 << -1 << user << denied;
        QTest::newRow("Save, disk full within the record")
            << Save << 0666 << 0777 << 1000 << user << full;
        QTest::newRow("Delete, read-only file")
            << Delete << 0444 << 0777 << -1 << user << "can only be read";
        QTest::newRow("Delete, read-only folder") << Delete << 0666 << 0555 << -1 << user << denied;
        QTest::newRow("Delete, disk full") << Delete << 0666 << 0777 << 1000 << user << full;
        QTest::newRow("Delete, another user's file")
            << Delete << 0666 << 0777 << -1 << 0 << "cannot have the owner and group";
        QTest::newRow("Delete, a folder named zmr.tmp")
            << Delete << 0666 << 0777 << -1 << user << "not a file it left";
    }
    void failedWriteLeavesTheFileWhole() {
        QFETCH(Command, command);
        QFETCH(int, sizeLimit);
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        QFETCH(int, owner);
        QFETCH(QString, reason);
        FormFixture f;
        const QByteArray before = record("a") + record("b") + record("c") + record("d");
        f.listAndSelect(before, QStringLiteral("a"));
        f.view.inputAnswers << QStringLiteral("new name");
        f.view.boxAnswers << Yes;
        f.view.editor = QStringLiteral("new text");
        QVERIFY(!QByteArray(QTest::currentDataTag()).contains("zmr.tmp") ||
                QDir().mkdir(f.path("zmr.tmp")));
        QVERIFY(chown("zmr.lst", owner, owner) == 0 && chmod("zmr.lst", fileMode) == 0);
        chmod(qPrintable(f.dir.path()), folderMode);
        {
            Unprivileged unprivileged;
            std::optional<FileSizeLimit> limit;
            if (sizeLimit >= 0)
                limit.emplace(sizeLimit);
            (f.form.*command)();
        }
        QCOMPARE(f.items(), before);
        QVERIFY(!QFileInfo(f.path("zmr.tmp")).isFile());
        const QString error = f.view.boxes.last();
        QVERIFY2(error.contains(f.dir.path() + "/zmr.") && error.contains(reason) &&
                     error.endsWith("|16"),
                 qPrintable(error));
        QCOMPARE(f.view.caption, QStringLiteral("Cardisto"));
    }

    // Each byte reads as the character a table made without our code gives it, and back; the
    // commands all read and write text through this code page.
    void textIsWindows1252BothWays() {
        QFile file(QFINDTESTDATA("windows1252.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString table;
        for (const QByteArray& line : file.readAll().split('\n'))
            for (const QByteArray& code :
                 line.startsWith('#') ? QList<QByteArray>() : line.split(' ').mid(1))
                table += QChar(code.toUShort(nullptr, 16));
        QCOMPARE(table.size(), 256);
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), char(0));
        QCOMPARE(Windows1252::decode(all), table);
        QCOMPARE(Windows1252::encode(table), all);
    }

    // A folder, pipe or socket in the file's place, a file too large to list, or a file another
    // program uses, is reported by every command that would touch it, never replaced nor waited
    // on; a reader does not stop reading.
    void unusableFileIsLeftAlone_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        for (const char* kind : {"folder", "pipe", "socket"})
            QTest::newRow(kind) << QString::fromLatin1(kind) << "not an ordinary file";
        QTest::newRow("1 TiB, sparse") << "huge"
                                       << "holds 533225813 items";
        for (const char* kind : {"being written", "being read"})
            QTest::newRow(kind) << QString::fromLatin1(kind)
                                << "Another program, or another copy of Cardisto, is using";
    }
    void unusableFileIsLeftAlone() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const bool busy = kind.startsWith("being"), huge = kind == "huge";
        FormFixture f;
        const QByteArray before = record("a", "A") + record("b", "B");
        if (busy || huge)
            f.writeItems(before);
        QVERIFY(busy || (kind == "pipe"     ? mkfifo("zmr.lst", 0600) == 0
                         : kind == "socket" ? mknod("zmr.lst", S_IFSOCK | 0600, 0) == 0
                         : huge             ? truncate("zmr.lst", qint64(1) << 40) == 0
                                            : QDir().mkdir(f.path())));
        std::optional<ItemFileLock> otherCopy;
        if (busy)
            otherCopy.emplace(f.path(),
                              kind == "being read" ? ItemFileLock::Shared : ItemFileLock::Exclusive,
                              std::chrono::seconds(5));
        for (const Command command : {DisplayTags, Select, New, Save, Rename, Delete}) {
            f.view.boxes.clear();
            f.view.items = QStringList{QStringLiteral("a").leftJustified(60)};
            f.view.selected = 0;
            f.view.inputAnswers = QQueue<QString>{{QStringLiteral("new name")}};
            f.view.boxAnswers = QQueue<int>{{Yes}};
            f.view.editor = QStringLiteral("unsaved");
            (f.form.*command)();
            const QString box = f.view.boxes.value(f.view.boxes.size() - 1);
            const bool reads =
                kind == "being read" && (command == DisplayTags || command == Select);
            // One box and one wait; the list stays as it was unless it could be read.
            QCOMPARE(f.view.boxes.filter("|16").size(), reads ? 0 : 1);
            QCOMPARE(f.view.items.size(), reads && command == DisplayTags ? 2 : 1);
            QCOMPARE(f.view.editor, !reads ? "unsaved" : command == Select ? "A" : "");
            if (reads)
                QVERIFY2(!box.endsWith("|16"), qPrintable(box));
            else
                QVERIFY2(box.contains(message) && box.endsWith("|16"), qPrintable(box));
        }
        QCOMPARE(QFileInfo(f.path()).isFile(), busy || huge);
        if (busy)
            QCOMPARE(f.items(), before);
        QVERIFY(!huge || QFileInfo(f.path()).size() == qint64(1) << 40);
        QVERIFY(!QFile::exists(f.path("zmr.tmp")));
    }

    // A copy that waited while a deletion put a new file in place must hold the new file, or a
    // third copy would write beside it.
    void waiterEndsUpOnTheNewFile() {
        FormFixture f;
        f.writeItems(record("old"));
        ItemFiles::write(f.path("zmr.new"), record("new"));
        auto deleting = std::make_unique<ItemFileLock>(f.path(), ItemFileLock::Exclusive,
                                                       std::chrono::seconds(5));
        std::atomic<bool> waiterHolds = false, done = false;
        std::thread waiter([&] {
            const ItemFileLock lock(f.path(), ItemFileLock::Exclusive, std::chrono::seconds(5));
            waiterHolds = true;
            while (!done)
                QThread::msleep(5);
        });
        QThread::msleep(100); // the waiter has opened the old file by now
        QVERIFY(std::rename(qPrintable(f.path("zmr.new")), qPrintable(f.path())) == 0);
        deleting.reset();
        while (!waiterHolds)
            QThread::msleep(5);
        QVERIFY_THROWS_EXCEPTION(StoreError, ItemFileLock(f.path(), ItemFileLock::Shared,
                                                          std::chrono::milliseconds(200)));
        done = true;
        waiter.join();
    }
};

QTEST_GUILESS_MAIN(TestNoteCommands)
#include "tst_note_commands.moc"
