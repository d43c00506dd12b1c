#include "form/desktop_services.h"
#include "form/form_view.h"
#include "form/mireloft_main.h"
#include "help/help_viewer.h"

#include <QDir>

void MireloftMain::mnu_contents_Click() {
    startHelpViewer({QStringLiteral("kevra.hlp")});
}

void MireloftMain::showHelpTopic(int topic) {
    startHelpViewer({QStringLiteral("--topic"), QString::number(topic), HelpFile});
}

// The viewer runs on its own; nothing waits for it or keeps track of it. One already open takes
// the request over from the new one.
void MireloftMain::startHelpViewer(QStringList arguments) {
    const QString viewer = QDir(m_desktop.programFolder()).filePath(HelpViewerProgram);
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
                      .arg(QDir::toNativeSeparators(viewer)));
    }
}
