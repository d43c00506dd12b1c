// GIO's headers use names that Qt defines as macros, so they come first.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "fake_form.h"

#include "app/message_box_style.h"
#include "app/mireloft_main.h"
#include "app/qt_desktop_services.h"
#include "help/home_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The web command against GIO's real lookup, in a private desktop: its own applications, file
// associations and temporary folder, and a stand-in browser that records its arguments.
class TestWebBrowser : public QObject {
    Q_OBJECT

public:
    explicit TestWebBrowser(const QString& root)
        : m_root(root) {}

private slots:
    void associatedBrowserGetsTheHomePage();
    void withoutAssociationBrowserIsNotFound();
    void browserWithoutDesktopFileStartsByItsPath();
    void cleanup();

private:
    QString recordFile() const { return m_root.filePath("arguments"); }
    // The stand-in browser's arguments, one a line; it writes them all at once.
    QByteArray recorded() const {
        QFile record(recordFile());
        return record.open(QIODevice::ReadOnly) ? record.readAll() : QByteArray();
    }
    QStringList temporaryFiles() const {
        return QDir(m_root.filePath("tmp")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    }

    QDir m_root;
};

void TestWebBrowser::associatedBrowserGetsTheHomePage() {
    GDesktopAppInfo* browser = g_desktop_app_info_new("cardisto-test-browser.desktop");
    QVERIFY(browser);
    GError* error = nullptr;
    const bool associated =
        g_app_info_set_as_default_for_type(G_APP_INFO(browser), "text/html", &error);
    g_object_unref(browser);
    QVERIFY2(associated, error ? error->message : "");

    FakeView view;
    QtDesktopServices desktop;
    MireloftMain form(view, desktop);
    view.boxAnswers << MessageBoxResult::Yes;
    form.mnu_www_Click();

    QCOMPARE(view.boxes.size(), 1);
    QTRY_COMPARE(recorded(), HomePageAddress.toUtf8() + '\n');
    QCOMPARE(temporaryFiles(), QStringList());
}

void TestWebBrowser::withoutAssociationBrowserIsNotFound() {
    FakeView view;
    QtDesktopServices desktop;
    MireloftMain form(view, desktop);
    view.boxAnswers << MessageBoxResult::Yes << MessageBoxResult::Ok;
    form.mnu_www_Click();

    QCOMPARE(view.boxes.size(), 2);
    QCOMPARE(view.boxes[1].title, QStringLiteral("Browser Not Found"));
    QVERIFY(!QFile::exists(recordFile()));
    QCOMPARE(temporaryFiles(), QStringList());
}

// A path with a blank must reach the shell as one word.
void TestWebBrowser::browserWithoutDesktopFileStartsByItsPath() {
    QtDesktopServices desktop;
    QVERIFY(desktop.shellExecute(m_root.filePath("stand-in browser/browse"), HomePageAddress));
    QTRY_COMPARE(recorded(), HomePageAddress.toUtf8() + '\n');
}

void TestWebBrowser::cleanup() {
    g_app_info_reset_type_associations("text/html");
    QFile::remove(recordFile());
}

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
    qunsetenv("XDG_CURRENT_DESKTOP");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root.filePath("no-bus").toLocal8Bit());

    // A blank in the browser's path, which must reach it whole.
    const QString browser = root.filePath("stand-in browser/browse");
    const QString record = root.filePath("arguments");
    writeFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.toLocal8Bit() +
                           ".part' && mv '" + record.toLocal8Bit() + ".part' '" +
                           record.toLocal8Bit() + "'\n");
    QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(root.filePath("data/applications/cardisto-test-browser.desktop"),
              "[Desktop Entry]\nType=Application\nName=Stand-in browser\nExec=\"" +
                  browser.toLocal8Bit() + "\" %u\n");
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir root;
    setUpDesktop(QDir(root.path()));
    QCoreApplication app(argc, argv);
    TestWebBrowser test(root.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_web_browser.moc"
