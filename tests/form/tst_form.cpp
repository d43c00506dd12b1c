#include "fake_form.h"

#include "item_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/fsuid.h>

#include <numeric>

using ItemFiles::record;
using namespace Qt::StringLiterals;
using Command = MireloftMain::Procedure;
Q_DECLARE_METATYPE(Command)

namespace {
const Command New = &MireloftMain::mnu_New_Click, Rename = &MireloftMain::mnu_rename_Click,
              Delete = &MireloftMain::mnu_delete_Click, Save = &MireloftMain::mnu_SaveQuote_Click,
              Select = &MireloftMain::ML_Selector_Click, List = &MireloftMain::DisplayTags;
// What another copy of the program does to zmr.lst while a command runs.
enum Other { Idle, Holds, Interrupts }; // Interrupts: between the change and the refresh
Other anotherCopy = Idle;
int anotherCopysFile = -1;

void anotherCopyTakesTheFile() {
    anotherCopysFile = open(qPrintable(ItemFileName), O_RDONLY);
    QVERIFY(flock(anotherCopysFile, LOCK_EX) == 0);
}

const QByteArray a = record("a", "A"), ba = record("b", "B") + a;
// What a command shows when another copy holds zmr.lst.
const QString fileBusy = "Cardisto|The file \"DIR/zmr.lst\" could not be used:\nAnother "
                         "program, or another copy of Cardisto, is using this file. Wait until "
                         "it has finished, then try again.\n\n";
const QString busy = fileBusy + "Nothing was changed by the command that stopped here.|16";

// What the user and another copy do before a command runs. Every member has an initializer, so
// that a row names only what it changes.
struct Given {
    QByteArray before = ba;  // zmr.lst when the list is first shown
    QString picked{};        // then selected and shown, "" the blank tag; null: nothing is picked
    QString typed{};         // then typed into the editor; null: it is left as it is
    QByteArray meanwhile{};  // then zmr.lst as another copy rewrites it; null: it is left alone
    QString clicked{};       // then picked for the command, which is Select; null: none
    bool folderGone = false; // then the program's folder is removed
    Other another = Idle;    // then, while the command runs
    QString answer{};        // to the command's input box, or Yes or No to its question
};
} // namespace
Q_DECLARE_METATYPE(Given)

// The list's refresh after a change takes the first shared lock: another copy comes just before.
extern "C" int flock(int fd, int operation) noexcept {
    static const auto next = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    if ((operation & LOCK_SH) && anotherCopy == Interrupts) {
        anotherCopy = Idle;
        anotherCopyTakesTheFile();
    }
    return next(fd, operation);
}

// What the procedures of the main window ask, show and decide, on a fake window over a real
// zmr.lst in a temporary program folder.
class TestForm : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        anotherCopy = Idle;
        close(std::exchange(anotherCopysFile, -1));
        QLocale::setDefault(QLocale::system());
    }

    void commands_data();
    // Guards each command's dialogs, its change to the file, its rebuild of list and editor.
    void commands();

    void startUp_data();
    // Guards start-up entering the program's folder by its bytes, or else every command refusing.
    void startUp();

    // Guards a start-up message that speaks of a command that stopped.
    void startUpSaysWhatItLeft();

    // Guards equal tags out of record order where a sort is not stable: in runs longer than a
    // small sort's, and across the parts that threads sort apart.
    void equalTagsKeepRecordOrder();

    void orderIsTheLocales_data();
    // Guards the list's order: the locale's, case folded (not lowered), accents counting, equal
    // tags in record order, also from several threads.
    void orderIsTheLocales();
};

void TestForm::commands_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<Given>("given");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QByteArray>("after");
    // Trimmed, the highlighted entry in brackets; only that entry if the list was not filled again.
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("caption");
    const QByteArray blank = record("") + a, xA = record("x", "B") + a,
                     theirs = record("b", "their") + a, x2000(2000, 'x');
    const QString newName = "New Item|New item name...|",
                  renameB = newName + "b" + QString(59, ' '),
                  confirm = "Confirm|Delete Item: b ?|276",
                  pickRename = "Nothing to do!|Please pick an item to rename.|304",
                  pickDelete = "Nothing to do!|Please pick an item to delete.|304",
                  saved = "Attention!|The text for: b\r\n...was sucessfully saved!|304",
                  changedBy = "Attention!|The text for: b\r\n...was changed by another program or "
                              "another copy of Cardisto since you picked it.",
                  changed = changedBy + " Replace that text with yours?|308",
                  excess = "Attention!|The text you wanted to save was  1 characters longer than "
                           "the program allows, and was truncated by that amount. You need to go "
                           "back and edit it to be shorter, or perhaps break it into two or more "
                           "separate items.|304",
                  gone = "Cardisto|The item \"b\" is no longer in the file: another copy of "
                         "Cardisto, or another program, renamed or deleted it.\n\nThe list now "
                         "shows the items as they are. The text in the editor was kept, so that "
                         "you can copy it.|16",
                  written = fileBusy + "The change was written to the file, but the list could "
                                       "not be refreshed: it still shows the items as they were "
                                       "before the change.|16",
                  smiles = u"\U0001F600"_s.repeated(2000), b1 = "Cardisto - 1 bytes",
                  c0 = "Cardisto";
    const QStringList kept, keptB{"[b]"}; // not filled again, nothing or b highlighted
    const auto row = [](const char* name, Command command, const Given& given,
                        const QStringList& dialogs, const QByteArray& after,
                        const QStringList& list, const QString& editor, const QString& caption) {
        QTest::newRow(name) << command << given << dialogs << after << list << editor << caption;
    };
    row("New adds; the list is rebuilt and sorted", New, {.answer = "C"}, {newName},
        ba + record("C"), {"a", "b", "C"}, "", c0);
    row("New cancelled rebuilds the list", New, {}, {newName}, ba, {"a", "b"}, "", c0);
    row("New refuses a taken name silently", New, {.answer = " A "}, {newName}, ba, {"a", "b"}, "",
        c0);
    row("New, blanks only: a blank tag", New, {.answer = "  "}, {newName}, ba + record(""),
        {"", "a", "b"}, "", c0);
    row("New, file held: one box", New, {.another = Holds, .answer = "C"}, {newName, busy}, ba,
        kept, "unsaved", c0);
    row("New, the program's folder removed", New, {.folderGone = true, .answer = "x"},
        {newName, "Cardisto|The file \"DIR/zmr.lst\" could not be used:\nNo such file or "
                  "directory\nIts folder was removed while Cardisto was running.\n\nNothing was "
                  "changed by the command that stopped here.|16"},
        "<missing>", kept, "unsaved", c0);
    row("New, refresh finds the file held", New, {.another = Interrupts, .answer = "C"},
        {newName, written}, ba + record("C"), kept, "unsaved", c0);
    row("Rename offers the picked name", Rename, {.picked = "b", .answer = "c"}, {renameB},
        record("c", "B") + a, {"a", "c"}, "", b1);
    row("Rename cancelled", Rename, {.picked = "b"}, {renameB}, ba, keptB, "B", b1);
    row("Rename, nothing picked", Rename, {.answer = "c"}, {pickRename}, ba, kept, "unsaved", c0);
    row("Rename, blank tag warns, then renames", Rename,
        {.before = blank, .picked = "", .answer = "n"}, {pickRename, newName + QString(60, ' ')},
        record("n") + a, {"a", "n"}, "", "Cardisto - 0 bytes");
    row("Rename, renamed by another copy", Rename, {.picked = "b", .meanwhile = xA, .answer = "c"},
        {renameB, gone}, xA, {"a", "x"}, "B", b1);
    row("Rename, file held", Rename, {.picked = "b", .another = Holds, .answer = "c"},
        {renameB, busy}, ba, keptB, "B", b1);
    row("Rename, refresh finds the file held", Rename,
        {.picked = "b", .another = Interrupts, .answer = "c"}, {renameB, written},
        record("c", "B") + a, keptB, "B", b1);
    row("Delete, Yes", Delete, {.picked = "b", .answer = "Yes"}, {confirm}, a, {"a"}, "", b1);
    row("Delete, No", Delete, {.picked = "b", .answer = "No"}, {confirm}, ba, keptB, "B", b1);
    row("Delete, nothing picked", Delete, {.answer = "Yes"}, {pickDelete}, ba, kept, "unsaved", c0);
    row("Delete, blank tag warns, then asks", Delete,
        {.before = blank, .picked = "", .answer = "Yes"},
        {pickDelete, "Confirm|Delete Item:  ?|276"}, a, {"a"}, "", "Cardisto - 0 bytes");
    row("Delete, deleted by another copy", Delete, {.picked = "b", .meanwhile = a, .answer = "Yes"},
        {confirm, gone}, a, {"a"}, "B", b1);
    row("Delete, file held", Delete, {.picked = "b", .another = Holds, .answer = "Yes"},
        {confirm, busy}, ba, keptB, "B", b1);
    row("Delete, refresh finds the file held", Delete,
        {.picked = "b", .another = Interrupts, .answer = "Yes"}, {confirm, written}, a, keptB, "B",
        b1);
    row("Save writes the edit trimmed of blanks", Save, {.picked = "b", .typed = " \tnew\r\n "},
        {saved}, record("b", "\tnew\r\n") + a, keptB, " \tnew\r\n ", "Cardisto - 8 bytes");
    row("Save, 2000 characters once trimmed", Save, {.picked = "b", .typed = x2000 + "  "}, {saved},
        record("b", x2000) + a, keptB, x2000 + "  ", "Cardisto - 2002 bytes");
    row("Save, 2001 characters once trimmed", Save, {.picked = "b", .typed = " " + x2000 + "y"},
        {excess}, record("b", x2000) + a, keptB, " " + x2000 + "y", "Cardisto - 2002 bytes");
    row("Save, 2000 characters of two units", Save, {.picked = "b", .typed = smiles}, {saved},
        record("b", QByteArray(2000, '?')) + a, keptB, smiles, "Cardisto - 4000 bytes");
    row("Save without an edit writes no byte", Save,
        {.before = record("b", " B ") + a, .picked = "b"}, {saved}, record("b", " B ") + a, keptB,
        "B", b1);
    row("Save without an edit, changed meanwhile: shown, not written", Save,
        {.picked = "b", .meanwhile = theirs},
        {changedBy + " Nothing was saved: the editor now shows the stored text.|304"}, theirs,
        keptB, "their", "Cardisto - 5 bytes");
    row("Save, changed meanwhile, Yes", Save,
        {.picked = "b", .typed = "mine", .meanwhile = theirs, .answer = "Yes"}, {changed, saved},
        record("b", "mine") + a, keptB, "mine", "Cardisto - 4 bytes");
    row("Save, changed meanwhile, No", Save,
        {.picked = "b", .typed = "mine", .meanwhile = theirs, .answer = "No"}, {changed}, theirs,
        keptB, "mine", b1);
    row("Save, renamed by another copy", Save, {.picked = "b", .typed = "mine", .meanwhile = xA},
        {gone}, xA, {"a", "x"}, "mine", b1);
    row("Save, nothing picked", Save, {}, {}, ba, kept, "unsaved", c0);
    row("Save, file held", Save, {.picked = "b", .typed = "mine", .another = Holds}, {busy}, ba,
        keptB, "mine", b1);
    row("Select shows the text trimmed of blanks only", Select,
        {.before = record("b", " \tB\r\n ") + a, .picked = "b", .typed = ""}, {},
        record("b", " \tB\r\n ") + a, keptB, "\tB\r\n", "Cardisto - 4 bytes");
    row("Select, deleted by another copy", Select, {.picked = "b", .meanwhile = a}, {gone}, a,
        {"a"}, "B", b1);
    // A pick that fails keeps the highlight on the item the editor shows, for Save to write.
    const QString goneA = "Cardisto|The item \"a\" is no longer in the file: another copy of "
                          "Cardisto, or another program, renamed or deleted it.\n\nThe list now "
                          "shows the items as they are. The editor ";
    row("Select another, file held", Select,
        {.picked = "b", .typed = "B, edited", .clicked = "a", .another = Holds}, {busy}, ba, keptB,
        "B, edited", b1);
    row("Select another, gone", Select,
        {.picked = "b",
         .typed = "B, edited",
         .meanwhile = record("b") + record("c"),
         .clicked = "a"},
        {goneA + "still holds the text of \"b\", which is highlighted again.|16"},
        record("b") + record("c"), {"[b]", "c"}, "B, edited", b1);
    row("Select another, it and the shown item gone", Select,
        {.picked = "b", .typed = "B, edited", .meanwhile = record("c"), .clicked = "a"},
        {goneA + "holds the text of \"b\", which is no longer in the file either; copy it if "
                 "you need it.|16"},
        record("c"), {"c"}, "B, edited", b1);
    row("List, file held: the list is kept", List, {.another = Holds}, {busy}, ba, kept, "unsaved",
        c0);
}

void TestForm::commands() {
    QFETCH(Given, given);
    FormFixture f;
    ItemFiles::write(f.path(), given.before);
    f.form.Form_Load();
    // No item's text, so that what a command leaves in the editor shows.
    f.view.editor = QStringLiteral("unsaved");
    if (!given.picked.isNull()) {
        f.view.selected = int(f.view.items().indexOf(given.picked.leftJustified(60)));
        f.form.ML_Selector_Click();
    }
    if (!given.typed.isNull())
        f.view.editor = given.typed;
    if (!given.meanwhile.isNull())
        ItemFiles::write(f.path(), given.meanwhile);
    if (given.another == Holds)
        anotherCopyTakesTheFile();
    anotherCopy = given.another;
    f.view.answers << given.answer;
    f.view.listings = 0;
    if (!given.clicked.isNull())
        f.view.selected = int(f.view.items().indexOf(given.clicked.leftJustified(60)));
    QVERIFY(!given.folderGone || (QFile::remove(f.path()) && QDir().rmdir(f.dir.path())));
    QFETCH(Command, command);
    (f.form.*command)();
    QTEST(f.view.boxes.replaceInStrings(f.dir.path(), QStringLiteral("DIR")), "dialogs");
    QTEST(f.items(), "after");
    QStringList list;
    const QStringList items = f.view.items();
    for (qsizetype entry = 0; entry < items.size(); ++entry) {
        const QString item = items[entry].trimmed();
        if (entry == f.view.selected)
            list << "[" + item + "]";
        else if (f.view.listings > 0)
            list << item;
    }
    QTEST(list, "list");
    QTEST(f.view.editor, "editor");
    QTEST(f.view.caption, "caption");
}

void TestForm::startUp_data() {
    QTest::addColumn<QByteArray>("folder"); // the program's, below the test's folder
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QString>("entry");  // the first entry of the list
    QTest::addColumn<QString>("editor"); // once it is selected
    const QString refused =
        "Cardisto|The program's folder \"FOLDER\" could not be opened: File name too long\n\n"
        "Cardisto keeps its items there, so it can neither show nor change any. Start it from a "
        "folder that can be opened.|16";
    QTest::newRow("read-only file") << ""_ba << QStringList() << u"note"_s << u"text"_s;
    QTest::newRow("folder not UTF-8") << "/caf\xE9"_ba << QStringList() << u"note"_s << u"text"_s;
    QTest::newRow("folder beyond PATH_MAX: every command refuses")
        << "/x"_ba.repeated(2100) << QStringList{refused, refused} << QString() << QString();
}

void TestForm::startUp() {
    QFETCH(QByteArray, folder);
    QTemporaryDir elsewhere; // the current folder, whose items are not the program's
    ItemFiles::write(elsewhere.filePath("zmr.lst"), record("elsewhere", "wrong"));
    chmod(qPrintable(elsewhere.path()), 0755);
    FormFixture f;
    ItemFiles::write(f.path(), record("note", "text"));
    const QByteArray latin1 = QFile::encodeName(f.dir.path()) + "/caf\xE9";
    QVERIFY(chmod(qPrintable(f.path()), 0444) == 0 && symlink(".", latin1) == 0);
    chmod(qPrintable(f.dir.path()), 0555);
    f.desktop.folder += folder;
    QDir::setCurrent(elsewhere.path());
    // Root may read and write any file: the thread drops that right for the file to be read-only.
    const int group = setfsgid(65534), user = setfsuid(65534);
    f.form.Form_Load();
    f.view.selected = 0;
    f.form.ML_Selector_Click();
    setfsuid(user), setfsgid(group);
    // Read-only, the folder could be emptied by root alone.
    chmod(qPrintable(f.dir.path()), 0700);
    unlink(latin1); // Qt cannot remove it
    QTEST(f.view.boxes.replaceInStrings(QFile::decodeName(f.desktop.folder), "FOLDER"), "dialogs");
    QTEST(f.view.items().value(0).trimmed(), "entry");
    QTEST(f.view.editor, "editor");
}

void TestForm::startUpSaysWhatItLeft() {
    FormFixture f;
    QVERIFY(QDir().mkdir(f.path()));
    f.form.Form_Load();
    QCOMPARE(f.view.boxes.value(0).section('\n', 2),
             "\nCardisto started without its items, and changed nothing. Choosing New Item, even "
             "if you then cancel it, reads the file again.|16");
}

void TestForm::orderIsTheLocales_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArrayList>("order"); // of the tags in orderIsTheLocales()
    const QByteArray l = QByteArray(40, 'a');
    QTest::newRow("C") << "C" << QByteArrayList{"A",    "a",    l + "b", l + "c", "b",    "e",
                                                "ss",   "z",    "\xAA",  "\xDF",  "\xE4", "\xE5",
                                                "\xE9", "\xF6", "\xFF",  "\xB5"};
    for (const char* locale : {"en_US", "de_DE"})
        QTest::newRow(locale) << locale
                              << QByteArrayList{"\xAA",  "A",    "a", "\xE5", "\xE4", l + "b",
                                                l + "c", "b",    "e", "\xE9", "\xF6", "ss",
                                                "\xDF",  "\xFF", "z", "\xB5"};
    QTest::newRow("sv_SE") << "sv_SE"
                           << QByteArrayList{"\xAA", "A",    "a",    l + "b", l + "c", "b",
                                             "e",    "\xE9", "ss",   "\xDF",  "\xFF",  "z",
                                             "\xE5", "\xE4", "\xF6", "\xB5"};
}

void TestForm::orderIsTheLocales() {
    // Tags equal but for case or a tertiary difference (ª, A and a) keep their record order; µ
    // folds otherwise than it lower-cases; two differ only after a long shared start.
    const QByteArray l = QByteArray(40, 'a');
    const QByteArrayList tags{"\xDF", "b",    "ss",   "\xAA", "A",    "\xE9", "a",     "z",
                              "\xE5", "\xE4", "\xF6", "\xB5", "\xFF", "e",    l + "c", l + "b"};
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    QByteArray bytes;
    for (const QByteArray& tag : tags)
        bytes += tag.leftJustified(60);
    QList<quint32> order;
    TagOrder(1).sort(bytes, order); // a thread for each tag, as many as there are cores
    QByteArrayList shown;
    for (const quint32 tag : order)
        shown << tags[tag];
    QTEST(shown, "order");
}

void TestForm::equalTagsKeepRecordOrder() {
    QByteArray bytes;
    for (int tag = 0; tag < 80; ++tag) // 40 a, then A, a, A, ...
        bytes += QByteArray(tag < 40 || tag % 2 ? "a" : "A").leftJustified(60);
    QList<quint32> order, recordOrder(80);
    std::iota(recordOrder.begin(), recordOrder.end(), 0);
    TagOrder(1).sort(bytes, order); // a thread for each tag, as many as there are cores
    QCOMPARE(order, recordOrder);
}

QTEST_GUILESS_MAIN(TestForm)
#include "tst_form.moc"
