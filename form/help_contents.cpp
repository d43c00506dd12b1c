#include "desktop_services.h"
#include "help_viewer.h"
#include "mireloft_main.h"

#include <QDir>

void MireloftMain::mnu_contents_Click() {
    startHelpViewer({QStringLiteral("kevra.hlp")});
}

void MireloftMain::showHelpTopic(int topic) {
    startHelpViewer({QStringLiteral("--topic"), QString::number(topic), HelpFile});
}

// The viewer runs on its own; nothing waits for it or keeps track of it. It is named relative to
// the program's folder, which start-up made current: its name in bytes need not be valid text.
void MireloftMain::startHelpViewer(const QStringList& arguments) {
    if (!m_folderError.isEmpty()) {
        showError(m_folderError);
        return;
    }
    const QString viewer = QStringLiteral("./") + HelpViewerProgram;
    if (!m_desktop.startProgram(viewer, arguments)) {
        showError(QStringLiteral("The help viewer \"%1\" could not be started.")
                      .arg(QDir::toNativeSeparators(QDir::current().filePath(HelpViewerProgram))));
    }
}
