#include "item_files.h"

#include "item_file_lock.h"
#include "item_store.h"
#include "store_error.h"
#include "windows1252.h"

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
#include <sys/xattr.h>
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

// A filesystem that refuses the attribute user.refused to the store, which copies attributes with
// fsetxattr; the test gives it to a file with setxattr.
extern "C" int fsetxattr(int fd, const char* name, const void* value, size_t size,
                         int flags) noexcept {
    static const auto next = reinterpret_cast<decltype(&fsetxattr)>(dlsym(RTLD_NEXT, "fsetxattr"));
    return qstrcmp(name, "user.refused") == 0 ? (errno = ENOTSUP, -1)
                                              : next(fd, name, value, size, flags);
}

// What reached the disk, in order: files by name, the item file's folder as "folder".
static QStringList synced;
extern "C" int fsync(int fd) noexcept {
    static const auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    const QString path = QFile::symLinkTarget(u"/proc/self/fd/"_s + QString::number(fd));
    synced << (path == QDir::currentPath() ? u"folder"_s : QFileInfo(path).fileName());
    return next(fd);
}

static volatile std::sig_atomic_t sizeSignalled = 0;

static const bool root = geteuid() == 0;
// The group of the user whom a failing call runs as (see AsUserOnSmallDisk), one that root may
// give a file to.
static const gid_t storeGroup = root ? 65534 : getegid();

// Root may write any file and has no full disk: for a while this thread's file access is user
// 65534's (the system refuses that change to anyone else, who is such a user already), and a
// write beyond `limit` bytes fails; the store, not the test, must ignore SIGXFSZ.
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
    enum Op { List, Load, Add, Rename, Save, Remove };
    // A store command: New takes a name as typed, the others a tag as listed; then Rename's new
    // name or Save's text, and the body Save expects to find there (none: any).
    struct Call {
        Op op;
        QString name;
        std::optional<QString> text = {}, before = {};
    };
    // The command's answer as a number, a Saved as its outcome. Only the failure rows hold the file
    // as another copy would, so a short wait for it will do.
    static qint64 run(const Call& call, const ReplacementObserver& observer = {}) {
        ItemStore store(50ms);
        const QString tag = call.name.leftJustified(60);
        QByteArray tags;
        return call.op == List     ? (store.listTags(tags), 0)
               : call.op == Load   ? store.loadText(tag).has_value()
               : call.op == Add    ? store.addItem(call.name)
               : call.op == Rename ? store.renameItem(tag, *call.text)
               : call.op == Remove ? store.removeItem(tag, observer)
                                   : qint64(store.saveText(tag, *call.text, call.before).outcome);
    }

    // As run(), where no error is expected: one fails the test, not the whole program.
    static qint64 runs(const Call& call, const ReplacementObserver& observer = {}) {
        try {
            return run(call, observer);
        } catch (const StoreError& error) {
            QTest::qFail(qPrintable(error.reason()), __FILE__, __LINE__);
            return -1;
        }
    }

    // Kills the process at the given occurrence of a step, as a crash would.
    static void removeVictims(int killStep, int occurrence) {
        run({Remove, "victim"}, [&](ReplacementStep step) {
            if (int(step) == killStep && --occurrence == 0)
                std::raise(SIGKILL);
        });
    }

    // What a failure row does to the store user's file of four items: 0 when done.
    using Setup = std::function<int()>;
    // What goes wrong while a failure row's calls run.
    struct During {
        std::optional<ItemFileLock::Mode> heldBy = {}; // by another copy
        rlim_t sizeLimit = RLIM_INFINITY;
        ReplacementObserver observer = {};
    };

    std::optional<QTemporaryDir> m_dir;

private slots:
    // What the tests make has exactly the rights they ask for; the store must not need a umask.
    // A write beyond the size limit raises SIGXFSZ, which the store must ignore: the test's
    // handler stands in for the default, which would end the process.
    void initTestCase() {
        umask(0);
        std::signal(SIGXFSZ, [](int) { sizeSignalled = 1; });
    }
    void init() { QDir::setCurrent(m_dir.emplace().path()); }
    void cleanup() {
        atRefusal = {};
        chmod(".", 0700); // else only root could empty a read-only folder
        for (const char* name : {"caf\xE9/notes.lst.tmp", "caf\xE9/notes.lst", "caf\xE9"})
            std::remove(name); // Qt cannot: the name is not UTF-8
    }

    // Guards each command's rules on the file's bytes: matches, fragments, Reserved, links, block
    // boundaries, the code page.
    void commandsWriteTheseBytes_data() {
        QTest::addColumn<Call>("call");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<qint64>("result");
        QTest::addColumn<QByteArray>("after"); // null: as before
        QTest::addColumn<bool>("throughLink");
        const auto row = [](const char* name, const Call& call, const QByteArray& before,
                            qint64 result, const QByteArray& after, bool throughLink = false) {
            QTest::newRow(name) << call << before << result << after << throughLink;
        };
        const QByteArray apple = record("Apple"), strasse = record("Stra\xDF\x65"), x59(59, 'x'),
                         x59y = record(x59 + "y"), aThenZ = record("a" + QByteArray(58, ' ') + "z");
        row("add, longer name", {Add, "Apples"}, apple, 1, apple + record("Apples"));
        row("add, ß is not SS", {Add, "STRASSE"}, strasse, 1, strasse + record("STRASSE"));
        row("add, inner blank counts", {Add, "a b"}, record("ab"), 1, record("ab") + record("a b"));
        row("add, tab is no blank", {Add, "a"}, record("a\t"), 1, record("a\t") + record("a"));
        row("add, the last byte counts", {Add, "a"}, aThenZ, 1, aThenZ + record("a"));
        row("add, the last letter counts", {Add, x59 + "z"}, x59y, 1, x59y + record(x59 + "z"));
        // A name compares as it would be stored: one '?' for each character the user sees.
        const QString thumb = u"\U0001F44D\U0001F3FD"_s, flag = u"\U0001F1EB\U0001F1F7"_s;
        row("add, ? per character seen", {Add, "a" + thumb}, record("a?"), 0, {});
        row("add, accents typed apart", {Add, u"E\u0301n\u0303c\u0327"_s}, record("\xE9\xF1\xE7"),
            0, {});
        row("add, wide characters then words", {Add, flag.repeated(30) + " Paris"}, {}, 1,
            record(QByteArray(30, '?') + " Paris"));
        row("add, upper case beyond ASCII", {Add, u"\u0160\u0178\u00B5"_s}, record("\x9A\xFF\xB5"),
            0, {});
        // The whole name is compared, so its first 60 characters may repeat a stored tag.
        const QByteArray x60 = record(QByteArray(60, 'x'));
        row("add, over 60, cut after", {Add, QString(60, 'x') + "y"}, x60, 1, x60 + x60);
        // Reserved carries 258 and -1 along. New overwrites a trailing fragment of half a record or
        // less, and keeps a longer one, padded to a whole record.
        const QByteArray a = record("a", "A", 258), b = record("b", "B", -1), c = record("c"),
                         half(1031, 'z'), overHalf(1500, 'z');
        row("add, half a record overwritten", {Add, "b"}, a + half, 1, a + record("b", "", 258));
        row("add, fragment over half kept", {Add, "b"}, a + overHalf, 1,
            a + overHalf + QByteArray(562, '\0') + record("b", "", 258));
        row("add, last Reserved", {Add, "c"}, a + b, 1, a + b + record("c", "", -1));
        row("rename, taken name", {Rename, "b", "a"}, a + b + c, 1, a + record("a", "B", -1) + c);
        const QByteArray note = record("note", "2"), blankNote = record(" Note");
        row("rename, first loose match", {Rename, "note", "x"}, record("  NOTE", "1") + note, 1,
            record("x", "1") + note);
        row("remove, duplicates, through a link", {Remove, "a"}, b + a + c + a + a, 3, b + c, true);
        row("remove, exact only", {Remove, "Note"}, record("Note") + note + blankNote, 1,
            note + blankNote);
        row("remove, fragment dropped", {Remove, "a"}, a + b + half, 1, b);
        // Scans read 1 MiB at a time: records 509 and 1018 cross a block's end.
        QByteArray many;
        for (int n = 1; n <= 1100; ++n)
            many += record(QByteArray::number(n), QByteArray::number(n));
        row("remove, across blocks", {Remove, "a"}, many + a, 1, many);
        row("rename, the last", {Rename, "1100", "x"}, many, 1,
            many.chopped(2062) + record("x", "1100"));
        // Save's record is the first tagged exactly "note"; its Reserved stays.
        const auto notes = [](const QByteArray& body) {
            return record("Note", "loose") + record("note", body, 9) + record("note", "second");
        };
        const QByteArray old = notes("old"), nul("a\0\0b", 4);
        row("save, ? outside the code page, a lone surrogate",
            {Save, "note", u"a\u0100\u0080b\U0001F600"_s + QChar(0xD800)}, old, 0, notes("a??b??"));
        row("save, NUL", {Save, "note", QString::fromLatin1(nul)}, old, 0, notes(nul));
        // Cut where the stored text ends, not at twice its length in units.
        row("save, wide characters then words", {Save, "note", thumb.repeated(1000) + " tail"}, old,
            0, notes(QByteArray(1000, '?') + " tail"));
        row("save over old, changed", {Save, "note", "my", u"old"_s.leftJustified(2000)},
            notes("new"), 2, {});
    }
    void commandsWriteTheseBytes() {
        QFETCH(Call, call);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, throughLink);
        // What a removal killed mid-write left must neither stop the next nor slip into its file.
        ItemFiles::write("zmr.tmp", record("x") + "y");
        // A link into a folder whose name is not UTF-8, beside a file of the user's.
        QVERIFY(!throughLink ||
                (mkdir("caf\xE9", 0777) == 0 && symlink("caf\xE9/notes.lst", "zmr.lst") == 0 &&
                 close(creat("caf\xE9/notes.lst.tmp", 0600)) == 0));
        if (!before.isNull())
            ItemFiles::write("zmr.lst", before);
        QTEST(runs(call), "result");
        QCOMPARE(ItemFiles::read("zmr.lst"), after.isNull() ? before : after);
        QVERIFY(!throughLink ||
                (QFileInfo("zmr.lst").isSymLink() && access("caf\xE9/notes.lst.tmp", F_OK) == 0));
    }

    // Guards against failures reported as success or leaving a torn file, and against a loose lock.
    void failureLeavesTheFileAlone_data() {
        QTest::addColumn<QList<Op>>("ops");
        QTest::addColumn<QStringList>("errors"); // of each op, as the user reads it; "": none
        QTest::addColumn<Setup>("setup");        // none: nothing
        QTest::addColumn<During>("during");
        const auto row = [](const char* name, const QList<Op>& ops, const QStringList& errors,
                            const Setup& setup = {}, const During& during = {}) {
            QTest::newRow(name) << ops << errors << setup << during;
        };
        const QList<Op> all = {List, Load, Add, Rename, Save, Remove};
        const QString denied = "Permission denied", full = "File too large",
                      busy = "another copy of Cardisto, is using";
        const QStringList odd(6, "not an ordinary file"), busyForAll(6, busy),
            huge(6, "holds 533,225,813 items, more than the 10,000,000");
        const ReplacementObserver takeTemporaryAtRename = [](ReplacementStep step) {
            QVERIFY(step != ReplacementStep::Replacing || QFile::remove("zmr.tmp"));
        };
        row("read-only file", {Save, Remove}, {denied, "can only be read"},
            [] { return chmod("zmr.lst", 0444); });
        row("read-only folder", {Remove}, {denied}, [] { return chmod(".", 0555); });
        row("size limit 9248", {Add}, {full}, {}, {.sizeLimit = 9248}); // within the new record
        row("size limit 1000", {Save, Remove}, {full, full}, {}, {.sizeLimit = 1000});
        row("another user's file", {Remove}, {"cannot have the owner and group"},
            [] { return chown("zmr.lst", 0, 0); });
        row("another user's file in our group", {Remove}, {"cannot have the owner and group"},
            [] { return chown("zmr.lst", 0, storeGroup); });
        row("an attribute refused", {Remove}, {"cannot have the old one's extended attribute"},
            [] { return setxattr("zmr.lst", "user.refused", "", 0, 0); });
        row("another user's zmr.tmp", {Remove}, {"is another user's file, not a file it left"},
            [] { return close(creat("zmr.tmp", 0600)) + chown("zmr.tmp", 1, 1); });
        row("a folder named zmr.tmp", {Remove}, {"is a folder, not a file it left"},
            [] { return mkdir("zmr.tmp", 0); });
        row("a link named zmr.tmp", {Remove}, {"is a link, not a file it left"},
            [] { return symlink("zmr.lst", "zmr.tmp"); });
        row("zmr.tmp gone at the rename", {Remove}, {"No such file"}, {},
            {.observer = takeTemporaryAtRename});
        row("folder", all, odd, [] { return unlink("zmr.lst") + mkdir("zmr.lst", 0666); });
        row("pipe", all, odd, [] { return unlink("zmr.lst") + mkfifo("zmr.lst", 0666); });
        row("socket", all, odd,
            [] { return unlink("zmr.lst") + mknod("zmr.lst", S_IFSOCK | 0666, 0); });
        row("1 TiB, sparse", all, huge, [] { return truncate("zmr.lst", qint64(1) << 40); });
        // One more record would make a file that no command opens.
        row("10,000,000 records, sparse", {Add}, {"already holds 10,000,000 items"},
            [] { return truncate("zmr.lst", 20'620'000'000); });
        row("10,000,001 records, sparse", {Add}, {"The file holds 10,000,001 items, more than"},
            [] { return truncate("zmr.lst", 20'620'002'062); });
        row("held by a writer", all, busyForAll, {}, {.heldBy = ItemFileLock::Exclusive});
        row("held by a reader", all, {"", "", busy, busy, busy, busy}, {},
            {.heldBy = ItemFileLock::Shared});
    }
    void failureLeavesTheFileAlone() {
        QFETCH(QList<Op>, ops);
        QFETCH(QStringList, errors);
        QFETCH(Setup, setup);
        QFETCH(During, during);
        const QByteArray items = record("a") + record("b") + record("c") + record("d");
        ItemFiles::write("zmr.lst", items);
        // As root the store runs as user 65534, else as this user: the file is its user's.
        QVERIFY(chown("zmr.lst", root ? 65534 : geteuid(), storeGroup) == 0 &&
                chmod(".", 0777) == 0);
        if (setup && setup() != 0 && (errno == EPERM || errno == ENOTSUP))
            QSKIP("Only root gives files to others; only some filesystems keep attributes");
        const QStringList names = QDir().entryList(QDir::AllEntries | QDir::System);
        const qint64 size = QFileInfo("zmr.lst").size();
        std::optional<ItemFileLock> anotherCopy;
        if (during.heldBy)
            anotherCopy.emplace("zmr.lst", *during.heldBy, 0ms);
        for (qsizetype i = 0; i < ops.size(); ++i) {
            QString message;
            try {
                const AsUserOnSmallDisk user(during.sizeLimit);
                run({ops[i], ops[i] == Add ? "e" : "a", "new text"}, during.observer);
            } catch (const StoreError& error) {
                message = error.reason();
            }
            QVERIFY2(message.contains(errors[i]) && message.isEmpty() == errors[i].isEmpty(),
                     qPrintable(message));
        }
        QVERIFY2(!sizeSignalled, "SIGXFSZ reached the process");
        // Nothing is made or removed; a file keeps its size and items.
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::System), names);
        QFile file("zmr.lst");
        QVERIFY(!QFileInfo(file).isFile() ||
                (file.size() == size && file.open(QIODevice::ReadOnly) &&
                 file.read(items.size()) == items));
    }

    // Guards against a lock that gives up at once, or holds the file a removal replaced meanwhile.
    void waiterHoldsTheFileOnceFreed() {
        ItemFiles::write("zmr.new", record("new"));
        std::optional<ItemFileLock> holder(std::in_place, "zmr.lst", ItemFileLock::Exclusive, 0ms);
        atRefusal = [&] {
            std::rename("zmr.new", "zmr.lst");
            holder.reset();
        };
        const ItemFileLock waiter("zmr.lst", ItemFileLock::Exclusive, 5s);
        QVERIFY_THROWS_EXCEPTION(StoreError, ItemFileLock("zmr.lst", ItemFileLock::Shared, 0ms));
    }

    // Guards the limit one item early.
    void lastItemThatFitsIsAdded() {
        ItemFiles::write("zmr.lst", {});
        QVERIFY(truncate("zmr.lst", 20'619'997'938) == 0); // 9,999,999 records, sparse
        QCOMPARE(runs({Add, "e"}), 1);
        QCOMPARE(QFileInfo("zmr.lst").size(), 20'620'000'000);
    }

    void changesReachTheDisk_data() {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QStringList>("synced"); // "renamed": the removal's new file took the place
        QTest::newRow("add") << Add << QStringList{"zmr.lst"};
        QTest::newRow("rename") << Rename << QStringList{"zmr.lst"};
        QTest::newRow("save") << Save << QStringList{"zmr.lst"};
        QTest::newRow("remove") << Remove << QStringList{"zmr.tmp", "renamed", "folder"};
    }
    // Guards a change that a power cut may lose: not flushed, or its rename not flushed after.
    void changesReachTheDisk() {
        QFETCH(Op, op);
        ItemFiles::write("zmr.lst", record("a") + record("b"));
        synced.clear();
        runs({op, op == Add ? "c" : "a", "new"}, [](ReplacementStep step) {
            if (step == ReplacementStep::Replaced)
                synced << "renamed";
        });
        QTEST(synced, "synced");
    }

    // Guards against a torn file after a crash, and who may read the items: the next removal's new
    // file is its owner's alone until it has the old one's group, rights, set-group-ID bit (which a
    // change of group clears), extended attributes and ACL, and locked until renamed.
    void killedAtAStep_data() {
        QTest::addColumn<ReplacementStep>("step");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<bool>("replaced");
        using enum ReplacementStep;
        QTest::newRow("record 508 copied, written") << RecordCopied << 508 << false;
        QTest::newRow("synced") << Synced << 1 << false;
        QTest::newRow("about to replace") << Replacing << 1 << false;
        QTest::newRow("replaced") << Replaced << 1 << true;
    }
    void killedAtAStep() {
        QFETCH(ReplacementStep, step);
        QFETCH(int, occurrence);
        QFETCH(bool, replaced);
        const QByteArray victim = record("victim"), kept = record("item").repeated(1998);
        ItemFiles::write("zmr.lst", victim + kept + victim);
        // u::rwx u:65534:--- g::r-x m::r-x o::---, in the form the kernel keeps
        const QByteArray acl =
            QByteArray::fromHex("02000000 01000700ffffffff 02000000feff0000 "
                                "04000500ffffffff 10000500ffffffff 20000000ffffffff");
        const bool attributes =
            setxattr("zmr.lst", "user.origin", "kept", 4, 0) == 0 &&
            setxattr("zmr.lst", "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
        QVERIFY(attributes || errno == ENOTSUP); // where the filesystem keeps them
        // Another group, where root can give it.
        QVERIFY(chown("zmr.lst", geteuid(), storeGroup) == 0 && chmod("zmr.lst", 02750) == 0);
        QCOMPARE(QProcess::execute(
                     QCoreApplication::applicationFilePath(),
                     {"--kill-at", QString::number(int(step)), QString::number(occurrence)}),
                 -1); // crashed
        QVERIFY(ItemFiles::read("zmr.lst") == (replaced ? kept : victim + kept + victim));
        struct stat created = {}, after = {};
        runs({Remove, "victim"}, [&](ReplacementStep step) {
            if (step == ReplacementStep::Created)
                stat("zmr.tmp", &created);
            if (step == ReplacementStep::Replacing) // the new file is locked until renamed
                QVERIFY_THROWS_EXCEPTION(StoreError,
                                         ItemFileLock("zmr.lst", ItemFileLock::Shared, 0ms));
        });
        QVERIFY(ItemFiles::read("zmr.lst") == kept && !QFile::exists("zmr.tmp"));
        QVERIFY(stat("zmr.lst", &after) == 0);
        QCOMPARE(
            std::tuple(created.st_mode & 0777, after.st_mode & 07777, after.st_uid, after.st_gid),
            std::tuple(0600u, 02750u, geteuid(), storeGroup));
        const auto attribute = [](const char* name) {
            char value[64];
            return QByteArray(value,
                              qMax<ssize_t>(0, getxattr("zmr.lst", name, value, sizeof value)));
        };
        QVERIFY(!attributes || (attribute("user.origin") == "kept" &&
                                attribute("system.posix_acl_access") == acl));
    }

    // Guards the code page against a table made without our code, and blanks-only trimming.
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
    if (argc == 4 && qstrcmp(argv[1], "--kill-at") == 0)
        return TestStore::removeVictims(std::atoi(argv[2]), std::atoi(argv[3])), 0;
    QCoreApplication app(argc, argv);
    TestStore test;
    // QtTest reports an exception that escapes a test, then rethrows it: caught, the folder goes.
    try {
        return QTest::qExec(&test, argc, argv);
    } catch (...) {
        return 1;
    }
}

#include "tst_store.moc"
