// GIO's headers use names that Qt defines as macros, so they come first.
#include <gio/gio.h>

#include "form_fixture.h"

#include "help_file_lookup.h"
#include "help_topics.h"
#include "help_window.h"
#include "main_window.h"
#include "qt_desktop_services.h"
#include "single_viewer.h"

#include <QClipboard>
#include <QProcess>
#include <QTextBrowser>

namespace {

// The real window, its message boxes answered by one answer.
struct AnsweringWindow : MainWindow {
    using MainWindow::MainWindow;
    QStringList boxes;
    int answer = MessageBoxResult::Yes;
    int messageBox(const QString& message, int style, const QString& title) override {
        boxes.append(title + '|' + message + '|' + QString::number(style));
        return answer;
    }
};

struct FailingBrowser : QtDesktopServices {
    bool shellExecute(const QString&, const QString&) override { return false; }
};

} // namespace

// Everything runs in a private desktop in a temporary folder: its own applications, file
// associations and folders, and a stand-in browser that records its arguments.
class TestDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString path(const char* name) const { return m_root.filePath(QLatin1String(name)); }
    QStringList recorded() const { // by the stand-in browser, which writes them all at once
        return QString(ItemFiles::read(path("arguments")))
            .remove("<missing>")
            .split('\n', Qt::SkipEmptyParts);
    }

private slots:
    // Before GLib first reads them; only the MIME database is the system's, so that no browser
    // installed there takes part.
    void initTestCase() {
        for (const char* variable :
             {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "TMPDIR", "XDG_RUNTIME_DIR"}) {
            QVERIFY(QDir().mkpath(path(variable)));
            qputenv(variable, QFile::encodeName(path(variable)));
        }
        QVERIFY(chmod(QFile::encodeName(path("XDG_RUNTIME_DIR")), 0700) == 0);
        QVERIFY(QFile::link("/usr/share/mime", path("XDG_DATA_DIRS/mime")));
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(path("no-bus")));
        const QByteArray record = QFile::encodeName(path("arguments"));
        QVERIFY(QDir().mkpath(path("stand-in browser")));
        ItemFiles::write(path("stand-in browser/browse"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" +
                                                              record + ".part' && mv '" + record +
                                                              ".part' '" + record + "'\n");
        QVERIFY(QFile::setPermissions(path("stand-in browser/browse"),
                                      QFile::ReadOwner | QFile::ExeOwner));
    }

    void cleanup() {
        g_app_info_reset_type_associations("text/html");
        QFile::remove(path("arguments"));
    }

    // Characters changed on their way to the clipboard, or CR LF left there for Linux.
    void copyGivesLinuxLineBreaks() {
        MainWindow window;
        window.setEditorText("  \r\n\t" + QString(2500, 'x') + QStringLiteral("\u00A0\r\n\ra\nb "));
        window.findChild<QAction*>(QStringLiteral("mnu_copy"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "  \n\t" + QString(2500, 'x') + QStringLiteral("\u00A0\n\ra\nb "));
    }

    // The viewer not named relative to the program's folder, not beside the window, or a
    // failed start not reported.
    void contentsStartsTheViewerBesideTheWindow() {
        FormFixture f;
        f.desktop.startSucceeds = false;
        f.view.frame = QRect(-10, 20, 300, 400);
        f.form.mnu_contents_Click();
        QCOMPARE(f.desktop.started.size(), 1);
        QCOMPARE(f.desktop.started[0].program, QStringLiteral("./cardisto-help"));
        QCOMPARE(f.desktop.started[0].arguments,
                 (QStringList{"--near", "-10,20,300,400", "kevra.hlp"}));
        QCOMPARE(f.view.boxes,
                 QStringList{"Cardisto|The help viewer \"" + f.dir.filePath("cardisto-help") +
                             "\" could not be started.|16"});
    }

    // The file not found in another letter case or from a folder whose name is not text; a
    // pipe, a device or a huge file read; a missing topic shown; a later start's topic not
    // handed to the open viewer, which must come to the front with the topic's heading in
    // view, up the file as well as down.
    void viewer() {
        const QByteArray odd = QFile::encodeName(path("caf")) + "\xE9";
        QVERIFY(mkdir(odd, 0700) == 0 && chdir(odd) == 0 &&
                QFile::copy(CARDISTO_OUTPUT_DIR "/kevra.hlp", "kevra.hlp"));
        const std::optional<QString> found = findHelpFile(QStringLiteral("Kevra.hlp"));
        HelpWindow window;
        QString error;
        QVERIFY2(found && window.load(*found, error), qPrintable(error));
        QVERIFY(chdir("/") == 0 && unlink(odd + "/kevra.hlp") == 0 && rmdir(odd) == 0 &&
                !window.showTopic(999));
        QFile huge(path("huge"));
        QVERIFY(mkfifo(QFile::encodeName(path("pipe")), 0600) == 0 &&
                QFile::link("/dev/zero", path("zero")) && huge.open(QIODevice::WriteOnly) &&
                huge.resize(17 << 20));
        for (const auto& [name, reason] : {std::pair{"pipe", "it is not an ordinary file."},
                                           {"zero", "it is not an ordinary file."},
                                           {"huge", "it is larger than a help file can be."}}) {
            QVERIFY(!window.load(path(name), error));
            QCOMPARE(error, "The help file \"" + path(name) + "\" could not be opened: " + reason);
        }
        const QString shipped = QStringLiteral(CARDISTO_OUTPUT_DIR "/kevra.hlp");
        QVERIFY(window.load(shipped, error));
        acceptLaterStarts(shipped, window);
        window.resize(400, 250);
        window.show();
        QWidget other;
        other.show();
        for (const auto& [topic, heading] :
             {std::pair{230, "The Help menu"}, {10, "The window, the list and the editor"}}) {
            other.activateWindow();
            QTRY_VERIFY(other.isActiveWindow());
            QProcess viewer;
            viewer.start(CARDISTO_OUTPUT_DIR "/cardisto-help",
                         {"--topic", QString::number(topic), shipped});
            QTRY_COMPARE_WITH_TIMEOUT(viewer.state(), QProcess::NotRunning, 20000);
            QVERIFY(viewer.exitCode() == 0 && window.isActiveWindow());
            const QTextBlock block = findAnchor(*window.browser()->document(), topicAnchor(topic));
            QCOMPARE(block.text().trimmed(), QString::fromLatin1(heading));
            const QRect shown = window.browser()->cursorRect(QTextCursor(block));
            QVERIFY(window.browser()->viewport()->rect().contains(shown.topLeft()));
        }
    }

    void viewerOpensBesideTheProgram_data() {
        QTest::addColumn<QRect>("program");
        QTest::addColumn<QPoint>("viewer");
        QTest::newRow("right") << QRect(0, 100, 300, 200) << QPoint(300, 50);
        QTest::newRow("left") << QRect(500, 0, 300, 200) << QPoint(100, 0);
        QTest::newRow("centred") << QRect(150, 150, 500, 200) << QPoint(200, 0);
    }
    // A viewer that covers the program's window or leaves the screen of 800 x 600.
    void viewerOpensBesideTheProgram() {
        QFETCH(QRect, program);
        QTEST(besideWindow(program, QSize(400, 550), QRect(0, 0, 800, 600)), "viewer");
    }

    void web_data() {                      // the answer No by the tag
        QTest::addColumn<QString>("seen"); // the box after the question, or what the browser got
        QTest::addColumn<int>("browser");  // 0 none for HTML files, 1 the stand-in, 2 it fails
        QTest::addColumn<QString>("temporary"); // TMPDIR
        const QString lookUp = "Cardisto|Your browser could not be looked up: ";
        QTest::newRow("No") << "" << 0 << "";
        QTest::newRow("no browser")
            << "Browser Not Found|Could not find your Browser|48" << 0 << "";
        QTest::newRow("browser") << "https://www.cardisto.org/" << 1 << "";
        QTest::newRow("it fails") << "URL Failed|Web Page not Opened|48" << 2 << "";
        QTest::newRow("no temporary folder")
            << lookUp + "the temporary folder \"/gone\" does not exist.|16" << 1 << "/gone";
        QTest::newRow("temporary folder a device")
            << lookUp + "no temporary file could be written in \"/dev/null\" (Not a directory).|16"
            << 1 << "/dev/null";
    }
    // A No that goes on; a browser that GIO does not find or start, or whose failure is not
    // reported; a probe that GIO cannot tell as HTML, is left behind or lands in the program's
    // folder.
    void web() {
        QFETCH(int, browser);
        GAppInfo* standIn = g_app_info_create_from_commandline(
            qPrintable("'" + path("stand-in browser/browse") + "'"), "Stand-in",
            G_APP_INFO_CREATE_SUPPORTS_URIS, nullptr);
        QVERIFY(!browser || g_app_info_set_as_default_for_type(standIn, "text/html", nullptr));
        g_object_unref(standIn);
        FormFixture f; // the program's folder, current
        QtDesktopServices desktop;
        FailingBrowser failing;
        AnsweringWindow window(browser == 2 ? failing : desktop);
        window.answer = QByteArray(QTest::currentDataTag()) == "No" ? MessageBoxResult::No
                                                                    : MessageBoxResult::Yes;
        QFETCH(QString, temporary);
        qputenv("TMPDIR", QFile::encodeName(temporary.isEmpty() ? path("TMPDIR") : temporary));
        window.findChild<QAction*>(QStringLiteral("mnu_www"))->trigger();
        qputenv("TMPDIR", QFile::encodeName(path("TMPDIR")));
        QCOMPARE(window.boxes.value(0), "Run default web browser|Please make sure your internet "
                                        "connection is active!\r\nContinue?|52");
        QFETCH(QString, seen);
        QTRY_COMPARE((window.boxes.mid(1) + recorded()).join('\n'), seen);
        QCOMPARE(QDir(path("TMPDIR")).entryList(QDir::Files | QDir::Hidden) +
                     QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // A browser known by its path alone that does not get it as one word when it has a blank.
    void browserByItsPath() {
        QVERIFY(QtDesktopServices().shellExecute(path("stand-in browser/browse"), "x:y"));
        QTRY_COMPARE(recorded(), QStringList{"x:y"});
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
