#include "app/mireloft_main.h"

#include "app/desktop_services.h"
#include "app/form_view.h"
#include "app/message_box_style.h"
#include "store/store_error.h"

#include <QDir>

MireloftMain::MireloftMain(FormView& view, DesktopServices& desktop)
    : m_view(view)
    , m_desktop(desktop) {}

void MireloftMain::Form_Load() {
    HelpFile = QStringLiteral("Kevra.hlp");
    // The item file and the help file are named relative to the program's own folder.
    if (!QDir::setCurrent(m_desktop.programFolder())) {
        m_view.messageBox(QStringLiteral("The program's folder \"%1\" could not be opened.")
                              .arg(QDir::toNativeSeparators(m_desktop.programFolder())),
                          MessageBoxStyle::Error, QStringLiteral("Cardisto"));
        return;
    }
    DisplayTags();
}

void MireloftMain::Form_UnLoad(qint16& cancel) {
    cancel = 0;
}

void MireloftMain::mnu_exit_Click() {
    m_view.quit();
}

void MireloftMain::showMessage() {
    Response = m_view.messageBox(Msg, Style.value_or(0), Title);
}

void MireloftMain::reportingFileErrors(const std::function<void()>& command) {
    try {
        command();
    } catch (const StoreError& error) {
        m_view.messageBox(error.message(), MessageBoxStyle::Error, QStringLiteral("Cardisto"));
    }
}

void MireloftMain::ML_TB1_ButtonClick(const QString& key) {
    if (key == u"new")
        mnu_New_Click();
    else if (key == u"del")
        mnu_delete_Click();
    else if (key == u"save")
        mnu_SaveQuote_Click();
    else if (key == u"rename")
        mnu_rename_Click();
    else if (key == u"copy")
        mnu_copy_Click();
    else if (key == u"help")
        mnu_contents_Click();
}
