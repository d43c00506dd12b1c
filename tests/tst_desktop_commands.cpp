// GIO's headers use names that Qt defines as macros, so they come first.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "form_fixture.h"

#include "help_file_lookup.h"
#include "help_topics.h"
#include "help_window.h"
#include "home_page.h"
#include "main_window.h"
#include "qt_desktop_services.h"
#include "single_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

using namespace MessageBoxResult;

// The commands that reach the desktop: Copy, Help contents with our help viewer, and the
// web command. All run in a private desktop: its own applications, file associations and
// temporary folder, and a stand-in browser that records its arguments. The web command meets
// GIO's real lookup there; a fake desktop shows what GIO cannot.
class TestDesktopCommands : public QObject {
    Q_OBJECT

public:
    explicit TestDesktopCommands(const QString& root)
        : m_root(root) {}

private slots:
    void cleanup() {
        g_app_info_reset_type_associations("text/html");
        QFile::remove(recordFile());
    }

    // Every character, 0xA0 and tabs included, reaches the clipboard unchanged; line breaks
    // become Linux's LF.
    void copyPutsTheEditorTextAsItStands() {
        const QString text = "  \r\n\t" + QString(2500, 'x') + QStringLiteral("\u00A0\r\n  ");
        QClipboard* clipboard = QGuiApplication::clipboard();
        auto* earlier = new QMimeData;
        earlier->setHtml(QStringLiteral("<b>earlier</b>"));
        clipboard->setMimeData(earlier);
        MainWindow window;
        window.setEditorText(text);
        window.findChild<QAction*>(QStringLiteral("mnu_copy"))->trigger();
        QCOMPARE(clipboard->text(), "  \n\t" + QString(2500, 'x') + QStringLiteral("\u00A0\n  "));
        QCOMPARE(clipboard->mimeData()->formats(), QStringList{"text/plain"}); // nothing earlier
    }

    void contentsStartsTheViewerBesideTheProgram() {
        FormFixture f;
        f.desktop.startSucceeds = false;
        f.view.frame = QRect(-10, 20, 300, 400);
        f.form.mnu_contents_Click();
        // Relative to the folder start-up entered by its bytes, which text may not hold.
        QCOMPARE(f.desktop.started.value(0).program, QStringLiteral("./cardisto-help"));
        QCOMPARE(f.desktop.started.value(0).arguments,
                 (QStringList{"--near", "-10,20,300,400", "kevra.hlp"}));
        // A viewer that cannot start is reported instead of ending the program.
        QVERIFY(f.view.boxes.value(0).endsWith("|16"));
    }

    // Later starts of the viewer, as F1 makes them, hand their topic to the open one, which
    // comes to the front there.
    void viewerOpensEachTopicOfTheShippedFile() {
        // F1 names the file "Kevra.hlp"; what is shipped is "kevra.hlp", in a program's folder
        // whose name need not be valid text.
        QTemporaryDir odd;
        const QString before = QDir::currentPath();
        const QByteArray latin1 = QFile::encodeName(odd.path()) + "/caf\xE9";
        QVERIFY(mkdir(latin1, 0700) == 0 && chdir(latin1) == 0 &&
                QFile::copy(CARDISTO_OUTPUT_DIR "/kevra.hlp", "kevra.hlp"));
        const auto path = findHelpFile(QStringLiteral("Kevra.hlp"));
        QVERIFY(path);
        HelpWindow window;
        window.resize(400, 250);
        QString error;
        // A pipe would block the viewer for ever, /dev/zero or a huge file take all its memory.
        QVERIFY(mkfifo(QFile::encodeName(odd.filePath("pipe")), 0600) == 0 &&
                QFile::link("/dev/zero", odd.filePath("zero")) &&
                QFile(odd.filePath("huge")).open(QIODevice::WriteOnly) &&
                QFile::resize(odd.filePath("huge"), 17 << 20));
        for (const char* name : {"pipe", "zero", "huge"})
            QVERIFY(!window.load(odd.filePath(name), error) && error.contains(odd.filePath(name)));
        QVERIFY2(window.load(*path, error), qPrintable(error));
        QVERIFY(QDir::setCurrent(before) && unlink(latin1 + "/kevra.hlp") == 0 &&
                rmdir(latin1) == 0);
        QVERIFY(!window.showTopic(999));
        const QString shipped = QStringLiteral(CARDISTO_OUTPUT_DIR "/kevra.hlp");
        QVERIFY(window.load(shipped, error));
        acceptLaterStarts(shipped, window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget other;
        other.show();
        // Backwards, so that the viewer must scroll up as well as down.
        const std::pair<int, QString> topics[] = {{230, "The Help menu"},
                                                  {10, "The window, the list and the editor"}};
        for (const auto& [topic, heading] : topics) {
            other.activateWindow();
            QTRY_VERIFY(other.isActiveWindow());
            QProcess viewer;
            viewer.start(CARDISTO_OUTPUT_DIR "/cardisto-help",
                         {"--topic", QString::number(topic), shipped});
            QTRY_COMPARE_WITH_TIMEOUT(viewer.state(), QProcess::NotRunning, 20000);
            QCOMPARE(viewer.exitCode(), 0);
            QVERIFY(window.isActiveWindow());
            QTextBrowser* browser = window.browser(); // the topic's heading stands in view
            const QTextBlock block = findAnchor(*browser->document(), topicAnchor(topic));
            QCOMPARE(block.text().trimmed(), heading);
            const qreal top =
                browser->document()->documentLayout()->blockBoundingRect(block).top() -
                browser->verticalScrollBar()->value();
            QVERIFY2(top >= 0 && top < browser->viewport()->height(),
                     qPrintable(QString::number(top)));
        }
    }

    void viewerOpensBesideTheProgram_data() {
        QTest::addColumn<QRect>("program");
        QTest::addColumn<QPoint>("viewer");
        QTest::newRow("right") << QRect(0, 100, 300, 200) << QPoint(300, 50);
        QTest::newRow("left") << QRect(500, 0, 300, 200) << QPoint(100, 0);
        QTest::newRow("centred") << QRect(150, 150, 500, 200) << QPoint(200, 0);
    }
    void viewerOpensBesideTheProgram() {
        QFETCH(QRect, program);
        QFETCH(QPoint, viewer);
        QCOMPARE(besideWindow(program, QSize(400, 550), QRect(0, 0, 800, 600)), viewer);
    }

    // Without an association the browser is not found; with one it gets the address.
    void webFindsTheBrowserThroughGio() {
        FakeView view;
        QtDesktopServices desktop;
        MireloftMain form(view, desktop);
        view.boxAnswers << Yes;
        form.mnu_www_Click();
        QCOMPARE(view.boxes.value(1),
                 QStringLiteral("Browser Not Found|Could not find your Browser|48"));
        QCOMPARE(temporaryFiles(), QStringList());

        GDesktopAppInfo* browser = g_desktop_app_info_new("cardisto-test-browser.desktop");
        QVERIFY(browser);
        GError* error = nullptr;
        const bool set =
            g_app_info_set_as_default_for_type(G_APP_INFO(browser), "text/html", &error);
        g_object_unref(browser);
        QVERIFY2(set, error ? error->message : "");
        view.boxAnswers << Yes;
        form.mnu_www_Click();
        QCOMPARE(view.boxes.size(), 3);
        QTRY_COMPARE(recorded(), HomePageAddress.toUtf8() + '\n');
        QCOMPARE(temporaryFiles(), QStringList());
        // A browser known by its path alone, which has a blank, must get it as one word.
        QFile::remove(recordFile());
        QVERIFY(desktop.shellExecute(m_root.filePath("stand-in browser/browse"), HomePageAddress));
        QTRY_COMPARE(recorded(), HomePageAddress.toUtf8() + '\n');
    }

    // What GIO cannot show: the answer No, the probe's bytes, a browser that fails to start.
    void webAnswerNoLooksUpNothingAndFailedStartIsReported() {
        const QString confirm =
            QStringLiteral("Run default web browser|Please make sure your internet "
                           "connection is active!\r\nContinue?|52");
        FormFixture f;
        f.desktop.executable = QStringLiteral("browser");
        f.desktop.executeSucceeds = false;
        f.view.boxAnswers << No << Yes;
        f.form.mnu_www_Click();
        QCOMPARE(f.form.Response, No);
        QCOMPARE(f.view.boxes, QStringList{confirm});

        f.form.mnu_www_Click();
        QVERIFY(f.desktop.lookedUp.value(0).startsWith(m_root.filePath("tmp/cardisto-")) &&
                f.desktop.lookedUp[0].endsWith(".HTM"));
        QCOMPARE(f.desktop.probeBytes, QByteArray("\"<HTML> <\\HTML>\"\r\n"));
        QCOMPARE(f.view.boxes,
                 (QStringList{confirm, confirm, "URL Failed|Web Page not Opened|48"}));
        QCOMPARE(temporaryFiles(), QStringList());

        // Without a temporary folder the probe must not land in the program's folder.
        qputenv("TMPDIR", m_root.filePath("gone").toLocal8Bit());
        f.view.boxAnswers << Yes;
        f.form.mnu_www_Click();
        qputenv("TMPDIR", m_root.filePath("tmp").toLocal8Bit());
        QCOMPARE(f.desktop.lookedUp.size(), 1);
        QVERIFY(f.view.boxes.last().endsWith(QLatin1String("|16")));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList());
    }

private:
    QString recordFile() const { return m_root.filePath("arguments"); }
    // The stand-in browser's arguments, one a line; it writes them all at once.
    QByteArray recorded() const { return ItemFiles::read(recordFile()); }
    QStringList temporaryFiles() const {
        return QDir(m_root.filePath("tmp")).entryList(QDir::Files | QDir::Hidden);
    }

    QDir m_root;
};

namespace {

void writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Before GLib first reads them, the XDG folders point into root; only the MIME database is
// shared with the system, so that no browser installed there takes part.
void setUpDesktop(const QDir& root) {
    QDir().mkpath(root.filePath("system"));
    QFile::link(QStringLiteral("/usr/share/mime"), root.filePath("system/mime"));
    QDir().mkpath(root.filePath("tmp"));
    qputenv("XDG_DATA_HOME", root.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toLocal8Bit());
    qputenv("XDG_DATA_DIRS", root.filePath("system").toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", root.filePath("system-config").toLocal8Bit());
    qputenv("TMPDIR", root.filePath("tmp").toLocal8Bit());
    QDir().mkpath(root.filePath("run"));
    QFile::setPermissions(root.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", root.filePath("run").toLocal8Bit());
    qunsetenv("XDG_CURRENT_DESKTOP");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root.filePath("no-bus").toLocal8Bit());

    // A blank in the browser's path, which must reach it whole.
    const QString browser = root.filePath("stand-in browser/browse");
    const QByteArray record = root.filePath("arguments").toLocal8Bit();
    writeFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".part' && mv '" + record +
                           ".part' '" + record + "'\n");
    QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(root.filePath("data/applications/cardisto-test-browser.desktop"),
              "[Desktop Entry]\nType=Application\nName=Stand-in browser\nExec=\"" +
                  browser.toLocal8Bit() + "\" %u\n");
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir root;
    setUpDesktop(QDir(root.path()));
    QApplication app(argc, argv);
    TestDesktopCommands test(root.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop_commands.moc"
