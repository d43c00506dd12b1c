#include "item_files.h"

#include "item_file_lock.h"
#include "item_store.h"
#include "store_error.h"
#include "tag_match.h"
#include "windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <numeric>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ItemFiles::record;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// Run at the next refused lock: what the holder does while the other copy waits.
static std::function<void()> atRefusal;

extern "C" int flock(int fd, int operation) noexcept {
    static const auto next = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    const int result = next(fd, operation), reason = errno;
    if (result != 0 && atRefusal)
        std::exchange(atRefusal, {})();
    errno = reason;
    return result;
}

// Root may write any file and has no full disk: for a while this thread's file access is user
// 65534's, and a write beyond `limit` bytes fails; the store, not the test, must ignore SIGXFSZ.
struct AsUserOnSmallDisk {
    rlimit previous{};
    explicit AsUserOnSmallDisk(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limited{limit, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited), setfsgid(65534), setfsuid(65534);
    }
    ~AsUserOnSmallDisk() { setfsuid(0), setfsgid(0), setrlimit(RLIMIT_FSIZE, &previous); }
};

// The item file through ItemStore and the store's classes, on its bytes, in a fresh folder.
class TestStore : public QObject {
    Q_OBJECT

public:
    static QString padded(const QString& tag, int length = 60) { return tag.leftJustified(length); }
    // {op, name, arg}: one store call, with a name as typed for "add", else as listed; its answer
    // as a number (a Saved as its value). Without arg, "save" has no text.
    static qint64 call(const QStringList& command, std::chrono::milliseconds wait = 5s) {
        const ItemStore store(wait);
        const QString op = command[0], tag = op == "add" ? command[1] : padded(command[1]);
        const auto text = command.size() > 2 ? std::optional(command[2]) : std::nullopt;
        const auto old = op == "save over old" ? std::optional(padded("old", 2000)) : std::nullopt;
        NoteRecord buffer;
        QByteArray tags;
        return op == "list"     ? (store.listTags(tags, buffer), tags.size())
               : op == "load"   ? store.loadNote(tag, buffer)
               : op == "add"    ? store.addItem(tag, buffer)
               : op == "rename" ? store.renameItem(tag, command.value(2), buffer)
               : op == "remove" ? store.removeItem(tag, buffer)
                                : qint64(store.saveNote(tag, text, old, buffer));
    }
    // The message of the StoreError that the call throws; empty: none.
    static QString failure(const std::function<void()>& function) {
        try {
            function();
        } catch (const StoreError& error) {
            return error.message();
        }
        return {};
    }
    // 2000 records, "victim" first and last, or what removing it leaves.
    static QByteArray victims(bool removed) {
        const QByteArray victim = removed ? "" : record("victim");
        return victim + record("item", "text").repeated(1998) + victim;
    }
    static void removeItem(const QString& tag, const ReplacementObserver& observer) {
        NoteRecord buffer;
        ItemStore().removeItem(padded(tag), buffer, observer);
    }
    // Kills the process at the given occurrence of a step, as a crash would.
    static void removeVictims(int killStep = -1, int occurrence = 0) {
        removeItem("victim", [&](ReplacementStep step) {
            if (int(step) == killStep && --occurrence == 0)
                std::raise(SIGKILL);
        });
    }

private:
    std::optional<QTemporaryDir> m_dir;
    const QString m_start = QDir::currentPath();

private slots:
    void init() { QDir::setCurrent(m_dir.emplace().path()); }
    void cleanup() {
        atRefusal = {};
        for (const char* name : {"caf\xE9/notes.lst.tmp", "caf\xE9/notes.lst", "caf\xE9"})
            std::remove(name); // Qt cannot: the name is not UTF-8
        QDir::setCurrent(m_start);
    }

    // Guards each command's rules on the file's bytes: matches, cuts, fragments, Reserved, links.
    void commandsWriteTheseBytes_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<qint64>("result");
        QTest::addColumn<QByteArray>("after");
        const QByteArray apple = record("Apple"), ss = record("Stra\xDF\x65"), x60(60, 'x'),
                         a = record("a", "A", 258), b = record("b", "B", 0x7FFF), c = record("c"),
                         z1031(1031, 'z'), z1500(1500, 'z'), NOTE = record("  NOTE", "1"),
                         note = record("note", "2"), Note = record("Note"), Nb = record(" Note");
        const auto n = [](const QByteArray& body) {
            return record("other", "o", 1) + record("Note", "loose") + record("note", body, 9) +
                   record("note", "second");
        };
        const QString emoji = u"\U0001F600"_s, nul = QString::fromLatin1("a\0\0b", 4);
        const auto row = [](const char* name, const QStringList& command, const QByteArray& before,
                            qint64 result, const QByteArray& after) {
            QTest::newRow(name) << command << before << result << after;
        };
        row("add, missing file", {"add", "a"}, {}, 1, record("a"));
        row("add, taken, case and blanks differ", {"add", " aPPLE  "}, apple, 0, apple);
        row("add, longer name", {"add", "Apples"}, apple, 1, apple + record("Apples"));
        row("add, ß is not SS", {"add", "STRASSE"}, ss, 1, ss + record("STRASSE"));
        // The whole name is compared, so its first 60 characters may repeat a stored tag.
        row("add, over 60, cut after", {"add", x60 + "y"}, record(x60), 1, record(x60).repeated(2));
        row("add, half a record overwritten", {"add", "b"}, a + z1031, 1, a + record("b", "", 258));
        row("add, fragment over half kept", {"add", "b"}, a + z1500, 1,
            a + z1500 + QByteArray(562, '\0') + record("b", "", 258));
        row("add, last Reserved", {"add", "c"}, a + b, 1, a + b + record("c", "", 0x7FFF));
        row("rename, taken; body, Reserved, place kept", {"rename", "b", "a"}, a + b + c, 1,
            a + record("a", "B", 0x7FFF) + c);
        row("rename, first loose match", {"rename", "note", "new"}, NOTE + note, 1,
            record("new", "1") + note);
        row("rename, gone", {"rename", "b", "x"}, a, 0, a);
        row("remove, duplicates, through a link", {"remove", "a"}, b + a + c + a + a, 3, b + c);
        row("remove, exact only", {"remove", "Note"}, Note + note + Nb, 1, note + Nb);
        row("remove, fragment dropped", {"remove", "a"}, a + b + z1031, 1, b);
        row("save, first exact match, cut", {"save", "note", QString(2001, 'x')}, n("old"), 0,
            n(QByteArray(2000, 'x')));
        row("save, ? outside the code page", {"save", "note", "a\u0100b" + emoji + QChar(0xD800)},
            n("old"), 0, n("a?b??"));
        row("save, NUL", {"save", "note", nul}, n("old"), 0, n(QByteArray("a\0\0b", 4)));
        row("save, 2000 beyond 65536", {"save", "note", emoji.repeated(2000)}, n("old"), 0,
            n(QByteArray(2000, '?')));
        row("save, no text", {"save", "note"}, n("old"), 0, n("old"));
        row("save over old, changed", {"save over old", "note", "my"}, n("new"), 2, n("new"));
        row("save over old, unchanged", {"save over old", "note", "my"}, n("old"), 0, n("my"));
        row("save, gone", {"save", "gone", "x"}, n("old"), 1, n("old"));
    }
    void commandsWriteTheseBytes() {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, before);
        // What an interrupted removal left must not slip into the new file.
        ItemFiles::write("zmr.tmp", record("x") + record("y"));
        // A link into a folder whose name is not UTF-8, beside a file of the user's.
        const bool linked = QByteArray(QTest::currentDataTag()).contains("link");
        QVERIFY(!linked ||
                (mkdir("caf\xE9", 0777) == 0 && symlink("caf\xE9/notes.lst", "zmr.lst") == 0 &&
                 close(creat("caf\xE9/notes.lst.tmp", 0600)) == 0));
        if (!before.isNull())
            ItemFiles::write("zmr.lst", before);
        QTEST(call(command), "result");
        QTEST(ItemFiles::read("zmr.lst"), "after");
        QVERIFY(!linked ||
                (QFileInfo("zmr.lst").isSymLink() && access("caf\xE9/notes.lst.tmp", F_OK) == 0));
    }

    // Guards against a failed write reported as success or leaving part of a record behind.
    void failedWriteLeavesTheFileWhole_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QList<int>>("setup"); // file mode, folder mode, size limit, file owner
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const char* op, QList<int> setup, const char* why) {
            QTest::newRow(name) << QString(op) << setup << QString(why);
        };
        row("add, disk full", "add", {0666, 0777, 9248, 65534}, "File too large");
        row("save, read-only file", "save", {0444, 0777, -1, 65534}, "Permission denied");
        row("save, disk full in the record", "save", {0666, 0777, 1000, 65534}, "File too large");
        row("remove, read-only file", "remove", {0444, 0777, -1, 65534}, "can only be read");
        row("remove, read-only folder", "remove", {0666, 0555, -1, 65534}, "Permission denied");
        row("remove, disk full", "remove", {0666, 0777, 1000, 65534}, "File too large");
        row("remove, another user's file", "remove", {0666, 0777, -1, 0}, "owner and group");
        row("remove, a folder named zmr.tmp", "remove", {0666, 0777, -1, 65534}, "not a file it");
    }
    void failedWriteLeavesTheFileWhole() {
        QFETCH(QString, op);
        QFETCH(QList<int>, setup);
        QFETCH(QString, reason);
        const QByteArray before = record("a") + record("b") + record("c") + record("d");
        ItemFiles::write("zmr.lst", before);
        QVERIFY(!QByteArray(QTest::currentDataTag()).contains("tmp") || mkdir("zmr.tmp", 0) == 0);
        QVERIFY(chmod("zmr.lst", setup[0]) == 0 && chown("zmr.lst", setup[3], setup[3]) == 0);
        QVERIFY(chmod(".", setup[1]) == 0);
        const QString message = failure([&] {
            const AsUserOnSmallDisk user{rlim_t(setup[2])};
            call({op, op == "add" ? "e" : "a", "new text"});
        });
        QVERIFY2(message.contains(QDir::currentPath() + "/zmr.") && message.contains(reason),
                 qPrintable(message));
        QCOMPARE(ItemFiles::read("zmr.lst"), before);
        QVERIFY(!QFileInfo("zmr.tmp").isFile());
    }

    // Guards against using, waiting on or replacing what is no ordinary file of a sane size, and
    // against a lock that lets a writer in beside anyone or keeps a reader from a reader.
    void unusableFileIsLeftAlone_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("readError");  // of listTags and loadNote; empty: none
        QTest::addColumn<QString>("writeError"); // of the four that write
        const QString odd = "not an ordinary file", huge = "holds 533225813 items",
                      busy = "another copy of Cardisto, is using", none;
        for (const char* kind : {"folder", "pipe", "socket"})
            QTest::newRow(kind) << QString(kind) << odd << odd;
        QTest::newRow("1 TiB, sparse") << QString("huge") << huge << huge;
        QTest::newRow("held by a writer") << QString("writer") << busy << busy;
        QTest::newRow("held by a reader") << QString("reader") << none << busy;
    }
    void unusableFileIsLeftAlone() {
        QFETCH(QString, kind);
        const bool held = kind == "writer" || kind == "reader";
        if (held || kind == "huge")
            ItemFiles::write("zmr.lst", record("a", "A") + record("b", "B"));
        QVERIFY(held || (kind == "pipe"     ? mkfifo("zmr.lst", 0600) == 0
                         : kind == "socket" ? mknod("zmr.lst", S_IFSOCK | 0600, 0) == 0
                         : kind == "huge"   ? truncate("zmr.lst", qint64(1) << 40) == 0
                                            : mkdir("zmr.lst", 0777) == 0));
        std::optional<ItemFileLock> holder;
        if (held)
            holder.emplace("zmr.lst", ItemFileLock::Mode(kind == "writer"), 0ms);
        struct stat before {
        }, after{};
        QVERIFY(lstat("zmr.lst", &before) == 0);
        for (const QString& op : QStringList{"list", "load", "add", "rename", "save", "remove"}) {
            const QString message = failure([&] { call({op, "a", "new"}, 50ms); });
            QFETCH(QString, readError);
            QFETCH(QString, writeError);
            const QString& expected = op == "list" || op == "load" ? readError : writeError;
            QVERIFY2(expected.isEmpty() ? message.isEmpty() : message.contains(expected),
                     qPrintable(op + ": " + message));
        }
        QVERIFY(lstat("zmr.lst", &after) == 0 && !QFile::exists("zmr.tmp"));
        QCOMPARE(std::tuple(after.st_ino, after.st_mode, after.st_size, after.st_mtim.tv_nsec),
                 std::tuple(before.st_ino, before.st_mode, before.st_size, before.st_mtim.tv_nsec));
    }

    // Guards against a lock that gives up at once instead of waiting, or that ends up on the file
    // a removal put in place while it waited.
    void waiterHoldsTheFileOnceFreed_data() {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("released") << false;
        QTest::newRow("replaced, then released") << true;
    }
    void waiterHoldsTheFileOnceFreed() {
        QFETCH(bool, replaced);
        ItemFiles::write("zmr.lst", record("old"));
        ItemFiles::write("zmr.new", record("new"));
        std::optional<ItemFileLock> holder(std::in_place, "zmr.lst", ItemFileLock::Exclusive, 0ms);
        atRefusal = [&] {
            if (replaced)
                std::rename("zmr.new", "zmr.lst");
            holder.reset();
        };
        const ItemFileLock waiter("zmr.lst", ItemFileLock::Exclusive, 5s);
        QVERIFY(!holder); // refused once, it waited
        QVERIFY_THROWS_EXCEPTION(StoreError, ItemFileLock("zmr.lst", ItemFileLock::Shared, 0ms));
    }

    // Guards the removal's new file: private from its creation, then the old owner, group and
    // mode; the lock held through the rename; the old file kept when the rename fails.
    void removalKeepsRightsAndLock() {
        ItemFiles::write("zmr.lst", record("a") + record("b"));
        QVERIFY(chown("zmr.lst", 65534, 65534) == 0 && chmod("zmr.lst", 0640) == 0);
        struct stat created {
        }, after{};
        QString lockedOut;
        const mode_t umaskBefore = umask(0);
        removeItem("a", [&](ReplacementStep step) {
            if (step == ReplacementStep::Created)
                stat("zmr.tmp", &created);
            if (step == ReplacementStep::Replacing)
                lockedOut = failure([] { ItemFileLock("zmr.lst", ItemFileLock::Shared, 0ms); });
        });
        umask(umaskBefore);
        QVERIFY(lockedOut.contains("is using") && stat("zmr.lst", &after) == 0);
        QCOMPARE(
            std::tuple(created.st_mode & 0777, after.st_mode & 07777, after.st_uid, after.st_gid),
            std::tuple(0600u, 0640u, 65534u, 65534u));
        QCOMPARE(ItemFiles::read("zmr.lst"), record("b"));
        const QString renameFailed = failure([] {
            removeItem("b", [](auto step) {
                if (step == ReplacementStep::Replacing)
                    QFile::remove("zmr.tmp");
            });
        });
        QVERIFY2(renameFailed.contains("No such file"), qPrintable(renameFailed));
        QCOMPARE(ItemFiles::read("zmr.lst"), record("b"));
    }

    // Guards against a crash at any step leaving neither file whole, or leaving what spoils the
    // next removal.
    void killedAtAStep_data() {
        QTest::addColumn<ReplacementStep>("step");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<bool>("replaced");
        const auto row = [](const char* name, ReplacementStep step, int occurrence, bool replaced) {
            QTest::newRow(name) << step << occurrence << replaced;
        };
        row("record 1 copied, none written", ReplacementStep::RecordCopied, 1, false);
        row("record 508 copied, written", ReplacementStep::RecordCopied, 508, false);
        row("synced", ReplacementStep::Synced, 1, false);
        row("about to replace", ReplacementStep::Replacing, 1, false);
        row("replaced", ReplacementStep::Replaced, 1, true);
    }
    void killedAtAStep() {
        QFETCH(ReplacementStep, step);
        QFETCH(int, occurrence);
        QFETCH(bool, replaced);
        ItemFiles::write("zmr.lst", victims(false));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--kill-at", QString::number(int(step)), QString::number(occurrence)});
        QVERIFY(child.waitForFinished(20000) && child.exitStatus() == QProcess::CrashExit);
        QVERIFY(ItemFiles::read("zmr.lst") == victims(replaced));
        removeVictims();
        QVERIFY(ItemFiles::read("zmr.lst") == victims(true) && !QFile::exists("zmr.tmp"));
    }

    // Guards the matches on raw bytes: each must answer as comparing the decoded texts does.
    void rawTagMatches_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("loose");
        const auto row = [](const char* name, const QByteArray& stored, const QString& text,
                            bool exact, bool loose) {
            QTest::newRow(name) << stored << text << exact << loose;
        };
        row("same", "Apple", padded("Apple"), true, true);
        row("unpadded", "Apple", "Apple", false, true);
        row("inner blank counts", "ab", "a b", false, false);
        row("tab is no blank", "a\t", "a", false, false);
        row("last byte counts", "a"_ba.leftJustified(59) + "z", "a", false, false);
        row("last letter counts", QByteArray(59, 'x') + "y", QString(59, 'x') + "z", false, false);
        // A name compares as it would be stored: one '?' for each character the user sees.
        row("outside the code page is its ?", "a?", padded(u"a\U0001F44D\U0001F3FD"_s), false,
            true);
        row("accent typed apart", "\xE9", u"E\u0301"_s, false, true);
        row("upper case beyond ASCII", "\x9A\xFF\xB5", u"\u0160\u0178\u00B5"_s, false, true);
    }
    void rawTagMatches() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text);
        QTEST(ExactTagMatch(text)(stored.leftJustified(60)), "exact");
        QTEST(LooseTagMatch(text)(stored.leftJustified(60)), "loose");
    }

    // Guards the block reads: records on both sides of a block's end, and the last, read whole.
    void scansCrossBlockBoundaries() {
        QByteArray items, tags, expected;
        for (int n = 1100; n >= 1; --n)
            items += record(QByteArray::number(100000 + n), QByteArray::number(n));
        for (qsizetype at = 0; at < items.size(); at += NoteRecord::Size)
            expected += items.sliced(at, 60);
        ItemFiles::write("zmr.lst", items);
        NoteRecord buffer;
        ItemStore().listTags(tags, buffer);
        QCOMPARE(tags, expected);
        QCOMPARE(buffer.Body, padded("1", 2000)); // the last record, as a record-by-record scan
        for (const int n : {1, 83, 592, 593, 1100}) {
            QVERIFY(ItemStore().loadNote(padded(QString::number(100000 + n)), buffer));
            QCOMPARE(buffer.Body, padded(QString::number(n), 2000));
        }
    }

    // Guards the code page: each byte reads as a table made without our code gives, and back;
    // and blanks alone are trimmed.
    void textIsWindows1252BothWays() {
        QFile file(QFINDTESTDATA("../windows1252.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString table;
        for (const QByteArray& line : file.readAll().split('\n'))
            for (const QByteArray& code :
                 line.startsWith('#') ? QByteArrayList() : line.split(' ').mid(1))
                table += QChar(code.toUShort(nullptr, 16));
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), char(0));
        QCOMPARE(Windows1252::decode(all), table);
        QCOMPARE(Windows1252::encode(table), all);
        QCOMPARE(trimBlanks(u" \tone\r\n  "_s), u"\tone\r\n"_s);
    }
};

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--kill-at") == 0) {
        TestStore::removeVictims(std::atoi(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store.moc"
