#include "form_view.h"
#include "mireloft_main.h"

void MireloftMain::mnu_rename_Click() {
    warnIfNothingPicked(QStringLiteral("rename"));
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    const QString name =
        m_view.inputBox(QStringLiteral("New item name..."), QStringLiteral("New Item"), selected);
    if (name.isEmpty())
        return;
    bool renamed = false;
    // The first loose match in file order, which need not be the selected entry's own.
    if (!reportingFileErrors([&] { renamed = m_store.renameItem(selected, name); }))
        return;
    if (renamed)
        displayTags(Outcome::ChangeWritten);
    else
        reportGone(selected);
}
