#include "form_view.h"
#include "message_box_style.h"
#include "mireloft_main.h"

void MireloftMain::mnu_delete_Click() {
    warnIfNothingPicked(QStringLiteral("delete"));
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    if (ask({QStringLiteral("Confirm"),
             QStringLiteral("Delete Item: ") + trimBlanks(selected) + QStringLiteral(" ?"),
             MessageBoxStyle::ConfirmDanger}) != MessageBoxResult::Yes)
        return;
    qint64 removed = 0;
    if (!reportingFileErrors([&] { removed = m_store.removeItem(selected); }))
        return;
    if (removed > 0)
        displayTags(Outcome::ChangeWritten);
    else
        reportGone(selected);
}
