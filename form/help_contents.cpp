#include "desktop_services.h"
#include "form_view.h"
#include "help_viewer.h"
#include "mireloft_main.h"

#include <QDir>

namespace {
// The help file that F1 opens at the topic of what has the focus.
const QString HelpFile = QStringLiteral("Kevra.hlp");
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
