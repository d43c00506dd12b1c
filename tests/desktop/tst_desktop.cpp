// GIO's headers use names that Qt defines as macros, so they come first.
#include <gio/gdesktopappinfo.h>

#include "fake_form.h"

#include "help_file_lookup.h"
#include "help_topics.h"
#include "help_window.h"
#include "main_window.h"
#include "qt_desktop_services.h"
#include "single_viewer.h"
#include "viewer_place.h"

#include <QClipboard>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTextBrowser>

// Everything runs in a private desktop in a temporary folder: its own applications, file
// associations and folders, and stand-in browsers, one that records its address and one that
// cannot start.
class TestDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString path(const char* name) const { return m_root.filePath(QLatin1String(name)); }

private slots:
    // Before GLib first reads them; only the MIME database is the system's, so that no browser
    // installed there takes part.
    void initTestCase() {
        for (auto v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_RUNTIME_DIR"})
            qputenv(v, QFile::encodeName(m_root.path()));
        QVERIFY(QDir().mkpath(path("applications")) && QDir().mkpath(path("tmp")) &&
                QFile::link("/usr/share/mime", path("mime")) && QFile::link(".", path("link")));
        QVERIFY(QDir().mkpath(path("open")) && chmod(QFile::encodeName(path("open")), 0755) == 0);
        QVERIFY(mkdir(QFile::encodeName(path("theirs")), 0700) == 0);
        QVERIFY(geteuid() != 0 || chown(QFile::encodeName(path("theirs")), 65534, 65534) == 0);
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(path("no-bus")));
        ItemFiles::write(path("a browser"), "#!/bin/sh\necho \"$1\" > \"${0%/*}/arguments\"\n");
        QVERIFY(chmod(QFile::encodeName(path("a browser")), 0500) == 0);
        for (const int n : {1, 2}) // 2 cannot start: its folder is gone
            ItemFiles::write(path("applications/") + QString::number(n) + ".desktop",
                             "[Desktop Entry]\nType=Application\nExec=\"" +
                                 QFile::encodeName(path("a browser")) +
                                 "\" %u\nPath=" + (n == 1 ? "/" : "/gone"));
    }

    void init() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_root.path()));
        g_app_info_reset_type_associations("text/html");
        ItemFiles::write(path("arguments"), {});
    }

    // Guards: characters changed on the way to the clipboard, or CR LF left there on Linux.
    void copyGivesLinuxLineBreaks() {
        QtDesktopServices desktop;
        MainWindow window(desktop);
        window.setEditorText("\t\r\n" + QString(2500, 'x') + "\u00A0\r\n\ra\nb ");
        window.findChild<QAction*>("mnu_copy")->trigger();
        QCOMPARE(qApp->clipboard()->text(), "\t\n" + QString(2500, 'x') + "\u00A0\n\ra\nb ");
    }

    // Guards: a viewer not in the program's folder, not beside the window, or failing silently.
    void contentsStartsTheViewerBesideTheWindow() {
        FormFixture f;
        f.desktop.startSucceeds = false;
        f.view.frame = QRect(-10, 20, 300, 400);
        f.form.mnu_contents_Click();
        const auto [program, arguments] = f.desktop.started.value(0);
        QCOMPARE(program + ' ' + arguments.join(' '),
                 "./cardisto-help --near -10,20,300,400 kevra.hlp");
        QVERIFY(f.view.boxes.join("").endsWith("/cardisto-help\" could not be started.|16"));
    }

    // Guards: help missed in another case or a non-text folder, a pipe or huge file read.
    // And a later start's topic not bringing the open viewer to the front there, up or down;
    // a start while this viewer is not yet listening opening a second one; a request read on
    // without end; folders that differ in a byte that is not UTF-8 sharing one viewer.
    void viewer() {
        const QByteArray odd = QFile::encodeName(path("caf")) + "\xE9",
                         odd2 = odd.chopped(1) + "\xE8";
        const auto removeOdd = qScopeGuard([&] { // by bytes, which QTemporaryDir does not
            QVERIFY(chdir("/") == 0);
            for (const QByteArray& folder : {odd, odd2})
                unlink(folder + "/kevra.hlp"), rmdir(folder);
        });
        QStringList servers; // of each folder's copy
        for (const QByteArray& folder : {odd2, odd}) {
            QVERIFY(mkdir(folder, 0700) == 0 && chdir(folder) == 0 &&
                    QFile::copy(CARDISTO_OUTPUT_DIR "/kevra.hlp", "kevra.hlp"));
            servers.append(viewerPlace("kevra.hlp").value_or(ViewerPlace{}).server);
        }
        QVERIFY(!servers[1].isEmpty() && servers[0] != servers[1]);
        const std::optional<QString> found = findHelpFile(QStringLiteral("Kevra.hlp"));
        HelpWindow window;
        QString error;
        QVERIFY(mkfifo(QFile::encodeName(path("pipe")), 0600) == 0);
        ItemFiles::write(path("huge"), QByteArray(17 << 20, 'x'));
        for (const char* name : {"pipe", "huge"})
            QVERIFY(!window.load(path(name), error) && error.contains(path(name)));
        QVERIFY(found && window.load(*found, error) && !window.showTopic(999));
        for (const int topic : {10, 210, 220, 230}) // F1's
            QVERIFY(window.showTopic(topic));
        window.resize(400, 250);
        window.show();
        // The first start comes while this viewer has looked for another but does not yet listen.
        std::unique_ptr<QLockFile> turn = takeStartTurn(*found);
        QVERIFY(turn);
        for (auto [topic, heading] : {std::pair{"230", "The Help menu"}, {"10", "The window"}}) {
            QWidget other; // shown, it takes the front
            other.show();
            QTRY_VERIFY(other.isActiveWindow());
            QProcess viewer;
            viewer.start(CARDISTO_OUTPUT_DIR "/cardisto-help", {"--topic", topic, "Kevra.hlp"});
            if (turn) {
                QTest::qWait(1000); // time enough for it to look too, were it not kept waiting
                acceptLaterStarts(*found, window);
                turn.reset();
            }
            QTRY_COMPARE_WITH_TIMEOUT(viewer.state(), QProcess::NotRunning, 20000);
            QVERIFY(viewer.exitCode() == 0 && window.isActiveWindow());
            const auto block = findAnchor(*window.browser()->document(), topicAnchor(atoi(topic)));
            QVERIFY(block.text().startsWith(heading));
            QVERIFY(window.browser()->viewport()->rect().contains(
                window.browser()->cursorRect(QTextCursor(block)).topLeft()));
        }
        QLocalSocket flood;
        flood.connectToServer(viewerPlace(*found)->server);
        flood.write(QByteArray(1000, 'x'));
        QTRY_COMPARE(flood.state(), QLocalSocket::UnconnectedState);
    }

    void viewerOnlyInAPrivateFolder_data() {
        QTest::addColumn<QString>("runtime"); // XDG_RUNTIME_DIR; folders of the test's
        QTest::newRow("none") << "";
        QTest::newRow("relative") << QDir::current().relativeFilePath(m_root.path());
        QTest::newRow("open to all") << path("open");
        QTest::newRow("a link to the user's") << path("link");
        QTest::newRow("another user's") << path("theirs");
    }
    // Guards: the socket where another user can listen first and receive every topic.
    void viewerOnlyInAPrivateFolder() {
        QFETCH(QString, runtime);
        if (runtime.endsWith("theirs") && geteuid() != 0)
            QSKIP("only root can make a folder another user's");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        QVERIFY(!viewerPlace(CARDISTO_OUTPUT_DIR "/kevra.hlp"));
    }

    // Guards: a viewer over the program's window or off the screen (right, else left, else over).
    void viewerOpensBesideTheProgram() {
        QCOMPARE(besideWindow({0, 100, 300, 200}, {400, 550}, {0, 0, 800, 600}), QPoint(300, 50));
        QCOMPARE(besideWindow({500, 0, 300, 200}, {400, 550}, {0, 0, 800, 600}), QPoint(100, 0));
        QCOMPARE(besideWindow({150, 150, 500, 200}, {400, 550}, {0, 0, 800, 600}), QPoint(200, 0));
        // Exactly room on the right, then on the left; one pixel less: over the window.
        QCOMPARE(besideWindow({0, 100, 300, 200}, {500, 550}, {0, 0, 800, 600}), QPoint(300, 50));
        QCOMPARE(besideWindow({0, 100, 300, 200}, {501, 550}, {0, 0, 800, 600}), QPoint(0, 0));
        QCOMPARE(besideWindow({500, 0, 300, 200}, {500, 550}, {0, 0, 800, 600}), QPoint(0, 0));
        QCOMPARE(besideWindow({500, 0, 300, 200}, {501, 550}, {0, 0, 800, 600}), QPoint(299, 0));
    }

    void web_data() {                      // the answer to the question: the tag, Yes unless No
        QTest::addColumn<QString>("seen"); // the box after the question, or what the browser got
        QTest::addColumn<int>("browser");  // for HTML files: none, 1 or 2
        QTest::addColumn<QString>("temporary"); // TMPDIR
        const QString lookUp = "Cardisto|Your browser could not be looked up: ";
        QTest::newRow("No") << "" << 0 << "";
        QTest::newRow("none") << "Browser Not Found|Could not find your Browser|48" << 0 << "";
        QTest::newRow("browser") << "https://www.cardisto.org/\n" << 1 << "";
        QTest::newRow("fails") << "URL Failed|Web Page not Opened|48" << 2 << "";
        QTest::newRow("/gone") << lookUp + "the temporary folder \"/gone\" does not exist.|16" << 1
                               << "/gone";
        QTest::newRow("a device")
            << lookUp + "no temporary file could be written in \"/dev/null\" (Not a directory).|16"
            << 1 << "/dev/null";
    }
    // Guards: a No that goes on, a browser not found or started, a probe left or misplaced.
    void web() {
        QFETCH(int, browser);
        auto* app = g_desktop_app_info_new(qPrintable(QString::number(browser) + ".desktop"));
        QVERIFY(!browser || g_app_info_set_as_default_for_type(G_APP_INFO(app), "text/html", {}));
        FakeView view; // the procedure on the real desktop
        view.answers.enqueue(QTest::currentDataTag());
        QtDesktopServices desktop;
        MireloftMain form(view, desktop, std::chrono::milliseconds(200));
        QFETCH(QString, temporary);
        qputenv("TMPDIR", QFile::encodeName(temporary.isEmpty() ? path("tmp") : temporary));
        form.mnu_www_Click();
        QCOMPARE(view.boxes.value(0), "Run default web browser|Please make sure your internet "
                                      "connection is active!\r\nContinue?|52");
        QFETCH(QString, seen);
        QTRY_COMPARE(view.boxes.mid(1).join("") + ItemFiles::read(path("arguments")), seen);
        QCOMPARE(QDir(path("tmp")).entryList(QDir::Files), QStringList());
        g_clear_object(&app);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
