#include "form_fixture.h"

#include "store/item_file_lock.h"
#include "store/store_error.h"

#include <QFileInfo>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <sys/stat.h>
#include <thread>

using ItemFiles::record;
using Command = void (MireloftMain::*)();
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(ItemFileLock::Mode)

namespace {
const Command DisplayTags = &MireloftMain::DisplayTags, Select = &MireloftMain::ML_Selector_Click,
              New = &MireloftMain::mnu_New_Click, Save = &MireloftMain::mnu_SaveQuote_Click,
              Rename = &MireloftMain::mnu_rename_Click, Delete = &MireloftMain::mnu_delete_Click;

// Answers every dialog that any of the commands may show, with the tag "a" selected.
void prepareForAnyCommand(FormFixture& f, const QByteArray& items) {
    f.listAndSelect(items, QStringLiteral("a"));
    f.view.inputAnswers << QStringLiteral("new name");
    f.view.boxAnswers << MessageBoxResult::Yes;
    f.view.editor = QStringLiteral("new text");
}
} // namespace

// The item file as the user set it up, and as another copy of the program is using it.
class TestSharedItemFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ItemFileLock::waitLimit = std::chrono::milliseconds(200); }
    // A command that went ahead while another copy wrote would lose that copy's change.
    void busyFileIsLeftAlone_data();
    void busyFileIsLeftAlone();
    // A copy that waited while a deletion put a new file in place must hold the new file, or a
    // third copy would write beside it.
    void waiterEndsUpOnTheNewFile();
    // Delete must not turn a link into a plain file, nor change who may read the items.
    void deleteKeepsLinkAndRights_data();
    void deleteKeepsLinkAndRights();
    // A folder, pipe or device in the file's place is reported, never replaced, never waited on.
    void notAnOrdinaryFileIsRefused_data();
    void notAnOrdinaryFileIsRefused();
};

void TestSharedItemFile::busyFileIsLeftAlone_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<ItemFileLock::Mode>("held");
    QTest::addColumn<bool>("proceeds");
    const auto Shared = ItemFileLock::Shared, Exclusive = ItemFileLock::Exclusive;
    QTest::newRow("list, while another copy reads") << DisplayTags << Shared << true;
    QTest::newRow("list, while another copy writes") << DisplayTags << Exclusive << false;
    QTest::newRow("select, while another copy writes") << Select << Exclusive << false;
    QTest::newRow("New, while another copy reads") << New << Shared << false;
    QTest::newRow("Save, while another copy reads") << Save << Shared << false;
    QTest::newRow("Rename, while another copy reads") << Rename << Shared << false;
    QTest::newRow("Delete, while another copy reads") << Delete << Shared << false;
}

void TestSharedItemFile::busyFileIsLeftAlone() {
    QFETCH(Command, command);
    QFETCH(ItemFileLock::Mode, held);
    QFETCH(bool, proceeds);
    FormFixture f;
    const QByteArray before = record("a", "A") + record("b", "B");
    prepareForAnyCommand(f, before);
    {
        const ItemFileLock otherCopy(f.path(), held);
        (f.form.*command)();
    }
    QCOMPARE(f.items(), before);
    const QString box = f.view.boxes.value(f.view.boxes.size() - 1);
    if (proceeds) {
        QCOMPARE(f.view.items.size(), 2);
    } else {
        QVERIFY2(box.contains("Another copy of Cardisto") && box.endsWith("|16"), qPrintable(box));
    }
    QVERIFY(!QFile::exists(f.path("zmr.tmp")));
}

void TestSharedItemFile::waiterEndsUpOnTheNewFile() {
    FormFixture f;
    f.writeItems(record("old"));
    ItemFiles::write(f.path("zmr.new"), record("new"));
    ItemFileLock::waitLimit = std::chrono::seconds(5);
    auto deleting = std::make_unique<ItemFileLock>(f.path(), ItemFileLock::Exclusive);
    std::atomic<bool> waiterHolds = false, done = false;
    std::thread waiter([&] {
        const ItemFileLock lock(f.path(), ItemFileLock::Exclusive);
        waiterHolds = true;
        while (!done)
            QThread::msleep(5);
    });
    QThread::msleep(100); // the waiter has opened the old file by now
    QVERIFY(std::rename(QFile::encodeName(f.path("zmr.new")).constData(),
                        QFile::encodeName(f.path()).constData()) == 0);
    deleting.reset();
    while (!waiterHolds)
        QThread::msleep(5);
    ItemFileLock::waitLimit = std::chrono::milliseconds(200);
    QVERIFY_THROWS_EXCEPTION(StoreError, ItemFileLock(f.path(), ItemFileLock::Shared));
    done = true;
    waiter.join();
}

void TestSharedItemFile::deleteKeepsLinkAndRights_data() {
    QTest::addColumn<QString>("linkedFile"); // empty: zmr.lst is a plain file
    QTest::newRow("plain file") << QString();
    QTest::newRow("link into another folder") << QStringLiteral("synced/notes.lst");
    QTest::newRow("link beside it") << QStringLiteral("notes");
}

void TestSharedItemFile::deleteKeepsLinkAndRights() {
    QFETCH(QString, linkedFile);
    FormFixture f;
    const QString items = linkedFile.isEmpty() ? f.path() : f.path(linkedFile);
    QDir(f.dir.path()).mkpath(QFileInfo(items).path());
    ItemFiles::write(items, record("a") + record("b"));
    // Neither the default for new files nor what a umask of 077 would give.
    QVERIFY(::chmod(QFile::encodeName(items).constData(), 0640) == 0);
    if (!linkedFile.isEmpty())
        QVERIFY(QFile::link(linkedFile, f.path()));
    prepareForAnyCommand(f, f.items());
    f.form.mnu_delete_Click();
    QCOMPARE(f.view.boxes.size(), 1); // the confirmation only
    QCOMPARE(ItemFiles::read(items), record("b"));
    QCOMPARE(QFileInfo(f.path()).symLinkTarget(),
             linkedFile.isEmpty() ? QString() : QFileInfo(items).absoluteFilePath());
    struct stat after {};
    QVERIFY(::stat(QFile::encodeName(items).constData(), &after) == 0);
    QCOMPARE(after.st_mode & 07777, 0640u);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::System).size(),
             linkedFile.isEmpty() || linkedFile.contains('/') ? 1 : 2);
}

void TestSharedItemFile::notAnOrdinaryFileIsRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << "folder";
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("link to a device") << "device";
}

void TestSharedItemFile::notAnOrdinaryFileIsRefused() {
    QFETCH(QString, kind);
    FormFixture f;
    const QByteArray path = QFile::encodeName(f.path());
    if (kind == "folder")
        QVERIFY(QDir(f.dir.path()).mkdir("zmr.lst"));
    else if (kind == "pipe")
        QVERIFY(::mkfifo(path.constData(), 0600) == 0);
    else
        QVERIFY(QFile::link("/dev/null", f.path()));
    const QFileInfo before(f.path());
    for (const Command command : {DisplayTags, Select, New, Save, Rename, Delete}) {
        const qsizetype shown = f.view.boxes.size();
        f.view.items = QStringList{QStringLiteral("a").leftJustified(60)};
        f.view.selected = 0;
        f.view.inputAnswers = QQueue<QString>{{QStringLiteral("new name")}};
        f.view.boxAnswers = QQueue<int>{{MessageBoxResult::Yes}};
        (f.form.*command)();
        QVERIFY2(f.view.boxes.size() > shown &&
                     f.view.boxes.last().contains("not an ordinary file") &&
                     f.view.boxes.last().endsWith("|16"),
                 qPrintable(f.view.boxes.join('\n')));
    }
    const QFileInfo after(f.path());
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.isFile(), false);
    QVERIFY(!QFile::exists(f.path("zmr.tmp")));
}

QTEST_GUILESS_MAIN(TestSharedItemFile)
#include "tst_shared_item_file.moc"
