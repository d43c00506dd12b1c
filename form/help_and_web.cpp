#include "desktop_services.h"
#include "form_view.h"
#include "help_viewer.h"
#include "home_page.h"
#include "message_box_style.h"
#include "mireloft_main.h"

#include <QDir>
#include <QTemporaryFile>

// Help, About and the web site.

namespace {

// The help file that F1 opens at the topic of what has the focus.
constexpr QLatin1String HelpFile("Kevra.hlp");

// An HTML file for the desktop to recognise, written as the classic delimited write form left it.
constexpr QByteArrayView BrowserProbePage("\"<HTML> <\\HTML>\"\r\n");

} // namespace

void MireloftMain::mnu_contents_Click() {
    startHelpViewer({QStringLiteral("kevra.hlp")});
}

void MireloftMain::showHelpTopic(int topic) {
    startHelpViewer({QStringLiteral("--topic"), QString::number(topic), HelpFile});
}

// The viewer runs on its own; nothing waits for it or keeps track of it, and one already open
// takes the request over from the new one. It is named relative to the program's folder, which
// start-up made current: its name in bytes need not be valid text.
void MireloftMain::startHelpViewer(QStringList arguments) {
    if (!inProgramFolder())
        return;
    const QString viewer = QStringLiteral("./") + HelpViewerProgram;
    if (const QRect window = m_view.windowRect(); window.isValid()) {
        arguments.prepend(QStringLiteral("%1,%2,%3,%4")
                              .arg(window.x())
                              .arg(window.y())
                              .arg(window.width())
                              .arg(window.height()));
        arguments.prepend(QStringLiteral("--near"));
    }
    if (!m_desktop.startProgram(viewer, arguments)) {
        showError(QStringLiteral("The help viewer \"%1\" could not be started.")
                      .arg(QDir::toNativeSeparators(QDir::current().filePath(HelpViewerProgram))));
    }
}

void MireloftMain::mnu_about_Click() {
    ask({QStringLiteral("Cardisto"),
         QStringLiteral("Cardisto, copyright (c) 2026 the Cardisto developers.\r\n"
                        "All rights reserved. Version 1.0, release #2"),
         MessageBoxStyle::Warning});
}

void MireloftMain::mnu_www_Click() {
    if (ask({QStringLiteral("Run default web browser"),
             QStringLiteral("Please make sure your internet connection is active!\r\nContinue?"),
             MessageBoxStyle::Question}) == MessageBoxResult::No)
        return;

    // A unique name, created exclusively: a fixed name in a shared folder could overwrite
    // someone's file or follow a link planted there. The file goes when the command ends.
    const QString folder = QDir::tempPath();
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("cardisto-XXXXXX.HTM")));
    // Without a temporary folder the bare name would land in the current, the program's, folder.
    if (folder.isEmpty() || !probe.open() ||
        probe.write(BrowserProbePage.data(), BrowserProbePage.size()) != BrowserProbePage.size() ||
        !probe.flush()) {
        const QString reason =
            folder.isEmpty() ? QStringLiteral("the temporary folder \"%1\" does not exist.")
                                   .arg(qEnvironmentVariable("TMPDIR"))
                             : QStringLiteral("no temporary file could be written in \"%1\" (%2).")
                                   .arg(QDir::toNativeSeparators(folder), probe.errorString());
        showError(QStringLiteral("Your browser could not be looked up: ") + reason);
        return;
    }
    const QString probeName = probe.fileName();
    probe.close();

    const std::optional<QString> browser = m_desktop.programForFile(probeName);
    if (!browser) {
        ask({QStringLiteral("Browser Not Found"), QStringLiteral("Could not find your Browser"),
             MessageBoxStyle::Notice});
    } else if (!m_desktop.startProgramWith(*browser, HomePageAddress)) {
        ask({QStringLiteral("URL Failed"), QStringLiteral("Web Page not Opened"),
             MessageBoxStyle::Notice});
    }
}
