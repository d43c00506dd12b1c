#include "mireloft_main.h"

#include "desktop_services.h"
#include "form_view.h"
#include "message_box_style.h"
#include "store_error.h"

#include <QDir>
#include <QFile>

#include <new>
#include <utility>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// By the folder's bytes: a name that is not valid text would not survive a QString.
bool enterFolder(const QByteArray& folder, QString& error) {
#ifdef Q_OS_WIN
    if (QDir::setCurrent(QFile::decodeName(folder)))
        return true;
    error = qt_error_string();
#else
    if (::chdir(folder.constData()) == 0)
        return true;
    error = qt_error_string(errno);
#endif
    return false;
}

} // namespace

MireloftMain::MireloftMain(FormView& view, DesktopServices& desktop,
                           std::chrono::milliseconds lockWait)
    : m_view(view)
    , m_desktop(desktop)
    , m_store(lockWait) {}

void MireloftMain::Form_Load() {
    // The item file and the help viewer are named relative to the program's own folder.
    QString reason;
    const QByteArray folder = m_desktop.programFolder(reason);
    if (folder.isEmpty() || !enterFolder(folder, reason)) {
        const QString where =
            folder.isEmpty()
                ? QStringLiteral("The program's folder could not be found: %1").arg(reason)
                : QStringLiteral("The program's folder \"%1\" could not be opened: %2")
                      .arg(QDir::toNativeSeparators(QFile::decodeName(folder)), reason);
        m_folderError = where + QStringLiteral("\n\nCardisto keeps its items there, so it can "
                                               "neither show nor change any. Start it from a "
                                               "folder that can be opened.");
        showError(m_folderError);
        return;
    }
    m_folder = folder;
    displayTags(Outcome::StartUp);
}

void MireloftMain::Form_UnLoad(qint16& cancel) {
    cancel = 0;
}

void MireloftMain::mnu_exit_Click() {
    m_view.quit();
}

int MireloftMain::ask(const Message& message) {
    return m_view.messageBox(message.text, message.style, message.title);
}

void MireloftMain::warnIfNothingPicked(const QString& command) {
    if (!trimBlanks(m_view.selectorText()).isEmpty())
        return;
    ask({QStringLiteral("Nothing to do!"),
         QStringLiteral("Please pick an item to %1.").arg(command), MessageBoxStyle::Warning});
}

void MireloftMain::showError(const QString& message) {
    ask({QStringLiteral("Cardisto"), message, MessageBoxStyle::Error});
}

QString MireloftMain::fileError(const StoreError& error) const {
    // By the folder that start-up entered: the current one's own name may be gone, or too long
    // to ask for.
    const QString folder = QFile::decodeName(m_folder);
    const QString path = folder.isEmpty()       ? QDir::current().absoluteFilePath(error.fileName())
                         : folder.endsWith('/') ? folder + error.fileName()
                                                : folder + '/' + error.fileName();
    QString reason = error.reason();
#ifndef Q_OS_WIN
    struct stat here {};
    if (::stat(".", &here) == 0 && here.st_nlink == 0)
        reason += QStringLiteral("\nIts folder was removed while Cardisto was running.");
#endif
    return QStringLiteral("The file \"%1\" could not be used:\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

bool MireloftMain::inProgramFolder() {
    if (!m_folderError.isEmpty())
        showError(m_folderError);
    return m_folderError.isEmpty();
}

bool MireloftMain::reportingFileErrors(const std::function<void()>& call, Outcome outcome) {
    if (!inProgramFolder())
        return false;
    try {
        call();
        return true;
    } catch (const StoreError& error) {
        const QString outcomes[] = {
            QStringLiteral("Nothing was changed by the command that stopped here."),
            QStringLiteral("The change was written to the file, but the list could not be "
                           "refreshed: it still shows the items as they were before the change."),
            QStringLiteral("Cardisto started without its items, and changed nothing. Choosing "
                           "New Item, even if you then cancel it, reads the file again."),
        };
        showError(fileError(error) + QStringLiteral("\n\n") + outcomes[int(outcome)]);
    } catch (const std::bad_alloc&) {
        showError(QStringLiteral("There is not enough memory for this command, so it stopped. "
                                 "Every change to the items is written whole or not at all, so "
                                 "the file holds them as the last finished command left them."));
    }
    return false;
}

void MireloftMain::ML_TB1_ButtonClick(const QString& key) {
    if (const Procedure procedure = toolbarProcedure(key))
        (this->*procedure)();
}

std::span<const MireloftMain::Command> MireloftMain::commands() {
    static const Command table[] = {
        {"mnu_New", "new", &MireloftMain::mnu_New_Click},
        {"mnu_delete", "del", &MireloftMain::mnu_delete_Click},
        {"mnu_rename", "rename", &MireloftMain::mnu_rename_Click},
        {"mnu_SaveQuote", "save", &MireloftMain::mnu_SaveQuote_Click},
        {"mnu_exit", nullptr, &MireloftMain::mnu_exit_Click},
        {"mnu_copy", "copy", &MireloftMain::mnu_copy_Click},
        {"mnu_contents", "help", &MireloftMain::mnu_contents_Click},
        {"mnu_about", nullptr, &MireloftMain::mnu_about_Click},
        {"mnu_www", nullptr, &MireloftMain::mnu_www_Click},
    };
    return table;
}

MireloftMain::Procedure MireloftMain::toolbarProcedure(const QString& key) {
    // Exactly: letter case counts.
    for (const Command& command : commands()) {
        if (command.toolbarKey && key == QLatin1String(command.toolbarKey))
            return command.procedure;
    }
    return nullptr;
}
