#include "form_fixture.h"
#include "unprivileged.h"

#include "app/message_box_style.h"
#include "help/home_page.h"

#include <QFile>
#include <QTest>

namespace {

// Keeps what the browser lookup was shown while the file still existed.
class ProbingDesktop : public FakeDesktop {
public:
    QByteArray probeContents;
    std::optional<QString> findExecutable(const QString& fileName) override {
        QFile probe(fileName);
        if (probe.open(QIODevice::ReadOnly))
            probeContents = probe.readAll();
        return FakeDesktop::findExecutable(fileName);
    }
};

} // namespace

class TestHelpCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { qunsetenv("TMPDIR"); }

    void aboutShowsNameRightsAndVersion();
    void helpStartsTheViewerBesideTheProgram_data();
    void helpStartsTheViewerBesideTheProgram();
    void webCommand_data();
    void webCommand();
    void unusableTemporaryFolderStartsNothing_data();
    void unusableTemporaryFolderStartsNothing();

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QStringList temporaryFiles() const {
        return QDir(m_temp->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    }
};

void TestHelpCommands::init() {
    m_temp = std::make_unique<QTemporaryDir>();
    qputenv("TMPDIR", m_temp->path().toLocal8Bit());
}

void TestHelpCommands::aboutShowsNameRightsAndVersion() {
    FormFixture f;
    f.view.boxAnswers.enqueue(MessageBoxResult::Ok);
    f.form.mnu_about_Click();
    const FakeView::Box box = f.view.boxes.value(0);
    QCOMPARE(box.title, QStringLiteral("Cardisto"));
    QCOMPARE(box.style, MessageBoxStyle::Warning);
    const QStringList lines = box.message.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].contains(QLatin1String("Cardisto")) && lines[0].contains("copyright"));
    QVERIFY(lines[1].endsWith(QLatin1String(". Version 1.0, release #2")));
    QCOMPARE(f.form.Response, MessageBoxResult::Ok);
}

void TestHelpCommands::helpStartsTheViewerBesideTheProgram_data() {
    QTest::addColumn<int>("topic"); // 0: Contents
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("starts");
    QTest::newRow("Contents") << 0 << QStringList{"kevra.hlp"} << true;
    QTest::newRow("F1 on File") << 210 << QStringList{"--topic", "210", "Kevra.hlp"} << true;
    QTest::newRow("viewer missing") << 0 << QStringList{"kevra.hlp"} << false;
}

void TestHelpCommands::helpStartsTheViewerBesideTheProgram() {
    QFETCH(int, topic);
    QFETCH(bool, starts);
    FormFixture f;
    f.form.Form_Load();
    f.desktop.startSucceeds = starts;
    f.view.boxAnswers.enqueue(MessageBoxResult::Ok);
    topic == 0 ? f.form.mnu_contents_Click() : f.form.showHelpTopic(topic);
    QCOMPARE(f.desktop.started.value(0).program, f.dir.filePath("cardisto-help"));
    QTEST(f.desktop.started.value(0).arguments, "arguments");
    // A viewer that cannot start is reported instead of ending the program.
    QCOMPARE(f.view.boxes.size(), starts ? 0 : 1);
    if (!starts)
        QCOMPARE(f.view.boxes[0].style, MessageBoxStyle::Error);
}

void TestHelpCommands::webCommand_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("browserFound");
    QTest::addColumn<bool>("browserStarts");
    QTest::addColumn<QString>("failure"); // message|title
    QTest::newRow("No") << MessageBoxResult::No << true << true << "";
    QTest::newRow("started") << MessageBoxResult::Yes << true << true << "";
    QTest::newRow("no browser") << MessageBoxResult::Yes << false << true
                                << "Could not find your Browser|Browser Not Found";
    QTest::newRow("browser fails")
        << MessageBoxResult::Yes << true << false << "Web Page not Opened|URL Failed";
}

void TestHelpCommands::webCommand() {
    QFETCH(int, answer);
    QFETCH(bool, browserFound);
    QFETCH(QString, failure);
    FakeView view;
    ProbingDesktop desktop;
    MireloftMain form(view, desktop);
    form.Style = MessageBoxStyle::Error;
    if (browserFound)
        desktop.executable = QStringLiteral("/opt/my browser/browse");
    QFETCH(bool, browserStarts);
    desktop.executeSucceeds = browserStarts;
    view.boxAnswers << answer << MessageBoxResult::Ok;

    form.mnu_www_Click();

    QCOMPARE(view.boxes[0].message,
             QStringLiteral("Please make sure your internet connection is active!\r\nContinue?"));
    QCOMPARE(view.boxes[0].title, QStringLiteral("Run default web browser"));
    QCOMPARE(view.boxes[0].style, MessageBoxStyle::Question);
    QCOMPARE(form.Response, answer);
    QCOMPARE(form.Style, MessageBoxStyle::Error);
    const bool yes = answer == MessageBoxResult::Yes;
    QCOMPARE(desktop.lookedUp.size(), yes ? 1 : 0);
    if (yes) {
        QCOMPARE(QFileInfo(desktop.lookedUp[0]).path(), m_temp->path());
        QVERIFY(desktop.lookedUp[0].endsWith(QLatin1String(".HTM")));
        QCOMPARE(desktop.probeContents, QByteArray("\"<HTML> <\\HTML>\"\r\n"));
    }
    QCOMPARE(desktop.executed.size(), yes && browserFound ? 1 : 0);
    if (!desktop.executed.isEmpty()) {
        QCOMPARE(desktop.executed[0].program, QStringLiteral("/opt/my browser/browse"));
        QCOMPARE(desktop.executed[0].arguments, QStringList{HomePageAddress});
    }
    const QStringList shown = failure.isEmpty() ? QStringList{} : failure.split('|');
    QCOMPARE(view.boxes.size(), 1 + shown.size() / 2);
    if (!shown.isEmpty()) {
        QCOMPARE(QStringList({view.boxes[1].message, view.boxes[1].title}), shown);
        QCOMPARE(view.boxes[1].style, MessageBoxStyle::Notice);
    }
    QCOMPARE(temporaryFiles(), QStringList());
}

void TestHelpCommands::unusableTemporaryFolderStartsNothing_data() {
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << false;
    QTest::newRow("not writable") << true;
}

// Without a usable TMPDIR the probe must not land in the program's folder, nor a browser start.
void TestHelpCommands::unusableTemporaryFolderStartsNothing() {
    QFETCH(bool, exists);
    FormFixture f;
    const QString folder = m_temp->filePath(QStringLiteral("temp"));
    if (exists)
        QDir().mkdir(folder, QFile::ReadOwner | QFile::ExeOwner);
    qputenv("TMPDIR", folder.toLocal8Bit());
    f.view.boxAnswers << MessageBoxResult::Yes << MessageBoxResult::Ok;
    {
        Unprivileged unprivileged;
        f.form.mnu_www_Click();
    }
    QCOMPARE(f.view.boxes.size(), 2);
    QVERIFY2(f.view.boxes[1].message.contains(folder), qPrintable(f.view.boxes[1].message));
    QCOMPARE(f.view.boxes[1].style, MessageBoxStyle::Error);
    QVERIFY(f.desktop.lookedUp.isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestHelpCommands)
#include "tst_help_commands.moc"
