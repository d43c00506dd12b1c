#include "form_view.h"
#include "mireloft_main.h"

void MireloftMain::mnu_New_Click() {
    const QString name =
        m_view.inputBox(QStringLiteral("New item name..."), QStringLiteral("New Item"), QString());
    bool added = false;
    // One box and one wait: the list would find the file as busy as the command did.
    if (!name.isEmpty() && !reportingFileErrors([&] { added = m_store.addItem(name); }))
        return;
    if (added)
        displayTags(Outcome::ChangeWritten);
    else
        DisplayTags();
}
