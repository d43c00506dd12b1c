#include "form_fixture.h"
#include "unprivileged.h"

#include "app/message_box_style.h"

#include <QFile>
#include <QTest>

using ItemFiles::record;

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void readsTheFileBesideTheProgram();
    void readOnlyItemFileStillListsAndShows();
    void unusableItemFileIsReportedNotFatal_data();
    void unusableItemFileIsReportedNotFatal();
};

void TestStartup::readsTheFileBesideTheProgram() {
    QTemporaryDir elsewhere;
    ItemFiles::write(elsewhere.filePath("zmr.lst"), record("wrong one"));
    FormFixture f;
    f.writeItems(record("right one"));
    QDir::setCurrent(elsewhere.path());
    f.form.Form_Load();
    QCOMPARE(f.view.items, QStringList{QStringLiteral("right one").leftJustified(60)});
    QCOMPARE(f.form.HelpFile, QStringLiteral("Kevra.hlp"));
    QCOMPARE(QDir::currentPath(), QDir(f.dir.path()).canonicalPath());
}

void TestStartup::readOnlyItemFileStillListsAndShows() {
    FormFixture f;
    f.writeItems(record("note", "text"));
    QFile::setPermissions(f.path(), QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(f.dir.path(),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    Unprivileged unprivileged;
    f.form.Form_Load();
    f.view.select(QStringLiteral("note").leftJustified(60));
    f.form.ML_Selector_Click();
    QCOMPARE(f.view.editor, QStringLiteral("text"));
    QVERIFY(f.view.boxes.isEmpty());
}

void TestStartup::unusableItemFileIsReportedNotFatal_data() {
    QTest::addColumn<bool>("fileExists");
    QTest::newRow("folder not writable, no item file") << false;
    QTest::newRow("item file not readable") << true;
}

void TestStartup::unusableItemFileIsReportedNotFatal() {
    QFETCH(bool, fileExists);
    FormFixture f;
    if (fileExists) {
        f.writeItems(record("secret"));
        QFile::setPermissions(f.path(), QFile::WriteOwner);
    }
    QFile::setPermissions(f.dir.path(),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    f.view.boxAnswers.enqueue(MessageBoxResult::Ok);
    {
        Unprivileged unprivileged;
        f.form.Form_Load();
    }
    QVERIFY(f.view.items.isEmpty());
    QCOMPARE(f.view.boxes.size(), 1);
    QVERIFY2(f.view.boxes[0].message.contains(f.path()), qPrintable(f.view.boxes[0].message));
    QVERIFY(f.view.boxes[0].message.contains(QLatin1String("Permission denied")));
    QCOMPARE(f.view.boxes[0].style, MessageBoxStyle::Error);
    QVERIFY(!f.form.Response.has_value());
    QCOMPARE(QFile::exists(f.path()), fileExists);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
