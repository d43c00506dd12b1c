#include "item_files.h"

#include "item_file_lock.h"
#include "item_store.h"
#include "store_error.h"
#include "tag_match.h"
#include "windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <functional>
#include <glob.h>
#include <numeric>
#include <optional>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ItemFiles::record;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Run at the next refused lock: what the holder does while the other copy waits.
std::function<void()> atRefusal;

QString padded(const QString& tag, int length = 60) {
    return tag.leftJustified(length);
}

// One store call by name; its answer as a number (a Saved as its value).
qint64 call(const QString& op, const QString& tag, const QString& arg,
            std::chrono::milliseconds wait = 5s) {
    const ItemStore store(wait);
    NoteRecord buffer;
    QByteArray tags;
    if (op == "list")
        return store.listTags(tags, buffer), tags.size();
    if (op == "load")
        return store.loadNote(tag, buffer);
    if (op == "add")
        return store.addItem(tag, buffer);
    if (op == "rename")
        return store.renameItem(tag, arg, buffer);
    if (op == "remove")
        return store.removeItem(tag, buffer);
    const auto before = op == "save over old" ? std::optional(padded("old", 2000)) : std::nullopt;
    return qint64(
        store.saveNote(tag, arg.isNull() ? std::nullopt : std::optional(arg), before, buffer));
}

// Root may write any file: a read-only case drops its file access rights for this thread.
struct Unprivileged {
    int previous = geteuid() == 0 ? (setfsgid(65534), setfsuid(65534)) : -1;
    ~Unprivileged() {
        if (previous >= 0)
            setfsuid(previous), setfsgid(getegid());
    }
};

// Writes beyond `bytes` fail as on a full disk; the store, not the test, must ignore SIGXFSZ.
struct FileSizeLimit {
    rlimit previous{};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limit{bytes, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
};

// 2000 records, "victim" first and last, and what removing it leaves.
QByteArray victims(bool removed) {
    QByteArray items;
    for (int n = 1; n <= 2000; ++n) {
        const QByteArray tag = n == 1 || n == 2000 ? "victim" : "item " + QByteArray::number(n);
        items += removed && tag == "victim" ? QByteArray() : record(tag, QByteArray::number(n));
    }
    return items;
}

// Removes the victims, killing the process at the given occurrence of a step, as a crash would.
void removeVictims(int killStep, int occurrence) {
    NoteRecord buffer;
    int seen = 0;
    ItemStore().removeItem(padded("victim"), buffer, [&](ReplacementStep step) {
        if (int(step) == killStep && ++seen == occurrence)
            std::raise(SIGKILL);
    });
}

} // namespace

extern "C" int flock(int fd, int operation) noexcept {
    static const auto next = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    const int result = next(fd, operation), reason = errno;
    if (result != 0 && atRefusal)
        std::exchange(atRefusal, {})();
    errno = reason;
    return result;
}

// The item file through ItemStore and the store's classes, on its bytes, in a fresh folder.
class TestStore : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    const QString m_start = QDir::currentPath();

private slots:
    void init() {
        m_dir.emplace();
        QDir::setCurrent(m_dir->path());
    }
    void cleanup() {
        atRefusal = {};
        for (const char* name : {"caf\xE9/notes.lst.tmp", "caf\xE9/notes.lst", "caf\xE9"})
            std::remove(name); // Qt cannot: the name is not UTF-8
        QDir::setCurrent(m_start);
        m_dir.reset();
    }

    // Guards each command's rules on the file's bytes: matches, cuts, fragments, Reserved, links.
    void commandsWriteTheseBytes_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("arg"); // the new name, or the text to save
        QTest::addColumn<qint64>("result");
        QTest::addColumn<QByteArray>("after");
        const QByteArray apple = record("Apple", "red"), strasse = record("Stra\xDF\x65", "first"),
                         sixty(60, 'x'), a = record("a", "A", 0x0102), b = record("b", "B", 0x7FFF),
                         c = record("c", "C"), e = record("\xE9t\xE9 \x9A\xFF\xB5");
        const auto items = [](const QByteArray& body) {
            return record("other", "o", 1) + record("Note", "loose") +
                   record("note", body, 0xBEEF) + record("note", "second");
        };
        const QString note = padded("note"), emoji = u"\U0001F600"_s;
        const auto row = [](const char* name, const char* op, const QByteArray& before,
                            const QString& tag, const QString& arg, qint64 result,
                            const QByteArray& after) {
            QTest::newRow(name) << QString(op) << before << tag << arg << result << after;
        };
        row("add, missing file", "add", {}, "a", {}, 1, record("a"));
        row("add, taken, case and blanks differ", "add", apple, " aPPLE  ", {}, 0, apple);
        row("add, longer name", "add", apple, "Apples", {}, 1, apple + record("Apples"));
        row("add, beyond ASCII, taken", "add", e, u"\u00C9T\u00C9 \u0160\u0178\u00B5"_s, {}, 0, e);
        row("add, ß is not SS", "add", strasse, "STRASSE", {}, 1, strasse + record("STRASSE"));
        // The whole name is compared, so its first 60 characters may repeat a stored tag.
        row("add, over 60, cut after the test", "add", record(sixty), sixty + "yz", {}, 1,
            record(sixty) + record(sixty));
        row("add, fragment of a half overwritten", "add", a + QByteArray(1031, 'z'), "b", {}, 1,
            a + record("b", "", 0x0102));
        row("add, fragment over half kept", "add", a + QByteArray(1500, 'z'), "b", {}, 1,
            a + QByteArray(1500, 'z') + QByteArray(562, '\0') + record("b", "", 0x0102));
        row("add, Reserved of the last record read", "add", a + b, "c", {}, 1,
            a + b + record("c", "", 0x7FFF));
        row("rename, taken name; body, Reserved and place kept", "rename", a + b + c, padded("b"),
            "a", 1, a + record("a", "B", 0x7FFF) + c);
        row("rename, first loose match in file order", "rename",
            record("  NOTE", "first") + record("note", "second"), note, "new", 1,
            record("new", "first") + record("note", "second"));
        row("rename, ß is not SS", "rename", strasse + record("Strasse"), padded("Strasse"), "new",
            1, strasse + record("new"));
        row("rename, gone", "rename", a, padded("b"), "x", 0, a);
        row("remove, every duplicate, through a link", "remove", b + a + c + a + a, padded("a"), {},
            3, b + c);
        row("remove, case and leading blanks differ", "remove",
            record("Note") + record("note") + record("  Note"), padded("Note"), {}, 1,
            record("note") + record("  Note"));
        row("remove, fragment dropped", "remove", a + b + QByteArray(500, 'z'), padded("a"), {}, 1,
            b);
        row("save, first exact match, cut to the field", "save", items("old"), note,
            QString(2000, 'x') + "y", 0, items(QByteArray(2000, 'x')));
        row("save, one ? per character outside the code page", "save", items("old"), note,
            "a\u0100b" + emoji + QChar(0xD800) + "c", 0, items("a?b??c"));
        row("save, NUL bytes", "save", items("old"), note, QString::fromLatin1("a\0\0b", 4), 0,
            items(QByteArray("a\0\0b", 4)));
        row("save, 2000 characters beyond the first 65536 fit", "save", items("old"), note,
            emoji.repeated(2000), 0, items(QByteArray(2000, '?')));
        row("save, no text writes nothing", "save", items("old"), note, {}, 0, items("old"));
        row("save over old, changed meanwhile", "save over old", items("new"), note, "mine", 2,
            items("new"));
        row("save over old, unchanged", "save over old", items("old"), note, "mine", 0,
            items("mine"));
        row("save, gone", "save", items("old"), padded("gone"), "x", 1, items("old"));
    }
    void commandsWriteTheseBytes() {
        QFETCH(QString, op);
        QFETCH(QByteArray, before);
        QFETCH(QString, tag);
        QFETCH(QString, arg);
        // What an interrupted removal left must not slip into the new file.
        ItemFiles::write("zmr.tmp", record("x") + record("y"));
        // A link into a folder whose name is not UTF-8, beside a file of the user's.
        const bool linked = QByteArray(QTest::currentDataTag()).contains("link");
        QVERIFY(!linked ||
                (mkdir("caf\xE9", 0777) == 0 && symlink("caf\xE9/notes.lst", "zmr.lst") == 0 &&
                 close(creat("caf\xE9/notes.lst.tmp", 0600)) == 0));
        if (!before.isNull())
            ItemFiles::write("zmr.lst", before);
        QTEST(call(op, tag, arg), "result");
        QTEST(ItemFiles::read("zmr.lst"), "after");
        QCOMPARE(QFileInfo("zmr.lst").isSymLink(), linked);
        glob_t left{};
        glob("caf\xE9/*", 0, nullptr, &left);
        QCOMPARE(QByteArrayList(left.gl_pathv, left.gl_pathv + left.gl_pathc).join(' '),
                 linked ? "caf\xE9/notes.lst caf\xE9/notes.lst.tmp"_ba : ""_ba);
        globfree(&left);
    }

    // Guards against a failed write reported as success or leaving part of a record behind.
    void failedWriteLeavesTheFileWhole_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("sizeLimit"); // -1: none
        QTest::addColumn<int>("owner");     // of the file; the store runs as 65534
        QTest::addColumn<QString>("reason");
        const QString denied = "Permission denied", full = "File too large";
        QTest::newRow("add, disk full")
            << "add" << 0666 << 0777 << 4 * 2062 + 1000 << 65534 << full;
        QTest::newRow("save, read-only file") << "save" << 0444 << 0777 << -1 << 65534 << denied;
        QTest::newRow("save, disk full within the record")
            << "save" << 0666 << 0777 << 1000 << 65534 << full;
        QTest::newRow("remove, read-only file")
            << "remove" << 0444 << 0777 << -1 << 65534 << "can only be read";
        QTest::newRow("remove, read-only folder")
            << "remove" << 0666 << 0555 << -1 << 65534 << denied;
        QTest::newRow("remove, disk full") << "remove" << 0666 << 0777 << 1000 << 65534 << full;
        QTest::newRow("remove, another user's file")
            << "remove" << 0666 << 0777 << -1 << 0 << "cannot have the owner and group";
        QTest::newRow("remove, a folder named zmr.tmp")
            << "remove" << 0666 << 0777 << -1 << 65534 << "not a file it left";
    }
    void failedWriteLeavesTheFileWhole() {
        QFETCH(QString, op);
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        QFETCH(int, sizeLimit);
        QFETCH(int, owner);
        QFETCH(QString, reason);
        const QByteArray before = record("a") + record("b") + record("c") + record("d");
        ItemFiles::write("zmr.lst", before);
        QVERIFY(!QByteArray(QTest::currentDataTag()).contains("zmr.tmp") ||
                mkdir("zmr.tmp", 0777) == 0);
        QVERIFY(chown("zmr.lst", owner, owner) == 0 && chmod("zmr.lst", fileMode) == 0);
        QVERIFY(chmod(".", folderMode) == 0);
        QString message;
        try {
            Unprivileged unprivileged;
            std::optional<FileSizeLimit> limit;
            if (sizeLimit >= 0)
                limit.emplace(sizeLimit);
            call(op, op == "add" ? "new name" : padded("a"), "new text");
        } catch (const StoreError& error) {
            message = error.message();
        }
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
                      busy = "another copy of Cardisto, is using";
        for (const char* kind : {"folder", "pipe", "socket"})
            QTest::newRow(kind) << QString(kind) << odd << odd;
        QTest::newRow("1 TiB, sparse") << "huge" << huge << huge;
        QTest::newRow("held by a writer") << "writer" << busy << busy;
        QTest::newRow("held by a reader") << "reader"
                                          << "" << busy;
    }
    void unusableFileIsLeftAlone() {
        QFETCH(QString, kind);
        QFETCH(QString, readError);
        QFETCH(QString, writeError);
        const bool held = kind == "writer" || kind == "reader";
        if (held || kind == "huge")
            ItemFiles::write("zmr.lst", record("a", "A") + record("b", "B"));
        QVERIFY(held || (kind == "pipe"     ? mkfifo("zmr.lst", 0600) == 0
                         : kind == "socket" ? mknod("zmr.lst", S_IFSOCK | 0600, 0) == 0
                         : kind == "huge"   ? truncate("zmr.lst", qint64(1) << 40) == 0
                                            : mkdir("zmr.lst", 0777) == 0));
        std::optional<ItemFileLock> holder;
        if (held)
            holder.emplace("zmr.lst",
                           kind == "reader" ? ItemFileLock::Shared : ItemFileLock::Exclusive, 0ms);
        struct stat before {
        }, after{};
        QVERIFY(lstat("zmr.lst", &before) == 0);
        for (const QString& op : QStringList{"list", "load", "add", "rename", "save", "remove"}) {
            QString message;
            try {
                call(op, padded("a"), "new", 50ms);
            } catch (const StoreError& error) {
                message = error.message();
            }
            const QString& expected = op == "list" || op == "load" ? readError : writeError;
            QVERIFY2(expected.isEmpty() ? message.isEmpty() : message.contains(expected),
                     qPrintable(op + ": " + message));
        }
        QVERIFY(lstat("zmr.lst", &after) == 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_size, before.st_size);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        QVERIFY(!QFile::exists("zmr.tmp"));
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
        bool lockedOut = false;
        NoteRecord buffer;
        const mode_t umaskBefore = umask(0);
        ItemStore().removeItem(padded("a"), buffer, [&](ReplacementStep step) {
            if (step == ReplacementStep::Created)
                stat("zmr.tmp", &created);
            try {
                if (step == ReplacementStep::Replacing)
                    ItemFileLock("zmr.lst", ItemFileLock::Shared, 0ms);
            } catch (const StoreError&) {
                lockedOut = true;
            }
        });
        umask(umaskBefore);
        QCOMPARE(created.st_mode & 0777, 0600u);
        QVERIFY(lockedOut);
        QVERIFY(stat("zmr.lst", &after) == 0);
        QCOMPARE(after.st_mode & 07777, 0640u);
        QCOMPARE(after.st_uid, 65534u);
        QCOMPARE(after.st_gid, 65534u);
        QCOMPARE(ItemFiles::read("zmr.lst"), record("b"));
        QVERIFY_THROWS_EXCEPTION(StoreError,
                                 ItemStore().removeItem(padded("b"), buffer, [](auto step) {
                                     if (step == ReplacementStep::Replacing)
                                         QFile::remove("zmr.tmp");
                                 }));
        QCOMPARE(ItemFiles::read("zmr.lst"), record("b"));
    }

    // Guards against a crash at any step leaving neither file whole, or leaving what spoils the
    // next removal.
    void killedAtAStep_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<bool>("replaced");
        const int copied = int(ReplacementStep::RecordCopied);
        QTest::newRow("record 1 copied, none written") << copied << 1 << false;
        QTest::newRow("record 508 copied, the first batch written") << copied << 508 << false;
        QTest::newRow("synced") << int(ReplacementStep::Synced) << 1 << false;
        QTest::newRow("about to replace") << int(ReplacementStep::Replacing) << 1 << false;
        QTest::newRow("replaced") << int(ReplacementStep::Replaced) << 1 << true;
    }
    void killedAtAStep() {
        QFETCH(int, step);
        QFETCH(int, occurrence);
        QFETCH(bool, replaced);
        ItemFiles::write("zmr.lst", victims(false));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--kill-at", QString::number(step), QString::number(occurrence)});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QVERIFY(ItemFiles::read("zmr.lst") == victims(replaced));
        removeVictims(-1, 0);
        QVERIFY(ItemFiles::read("zmr.lst") == victims(true));
        QVERIFY(!QFile::exists("zmr.tmp"));
    }

    // Guards the matches on raw bytes: each must answer as comparing the decoded texts does.
    void rawTagMatches_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("loose");
        QTest::newRow("same") << "Apple"_ba << padded("Apple") << true << true;
        QTest::newRow("unpadded") << "Apple"_ba
                                  << "Apple" << false << true;
        QTest::newRow("case and blanks") << "  a b"_ba
                                         << "A B  " << false << true;
        QTest::newRow("inner blank counts") << "ab"_ba
                                            << "a b" << false << false;
        QTest::newRow("tab is no blank") << "a\t"_ba
                                         << "a" << false << false;
        QTest::newRow("the last byte counts") << "a"_ba.leftJustified(59) + "z"
                                              << "a" << false << false;
        QTest::newRow("the last letter counts")
            << QByteArray(59, 'x') + "y" << QString(59, 'x') + "z" << false << false;
        // A name compares as it would be stored: one '?' for each character the user sees.
        QTest::newRow("outside the code page is its '?'")
            << "a?"_ba << padded(u"a\U0001F44D\U0001F3FD"_s) << false << true;
        QTest::newRow("accent typed apart") << "\xE9"_ba << u"E\u0301"_s << false << true;
        QTest::newRow("sharp s stays one letter") << "Stra\xDF"
                                                     "e"_ba
                                                  << "STRASSE" << false << false;
        QTest::newRow("y diaeresis upper is 0x9F") << "\xFF"_ba << u"\u0178"_s << false << true;
        QTest::newRow("micro sign") << "\xB5"_ba << u"\u00B5"_s << false << true;
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
                 line.startsWith('#') ? QList<QByteArray>() : line.split(' ').mid(1))
                table += QChar(code.toUShort(nullptr, 16));
        QCOMPARE(table.size(), 256);
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), char(0));
        QCOMPARE(Windows1252::decode(all), table);
        QCOMPARE(Windows1252::encode(table), all);
        QCOMPARE(trimBlanks(u" \tone\r\n  "_s), u"\tone\r\n"_s);
    }
};

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--kill-at") == 0) {
        removeVictims(std::atoi(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store.moc"
