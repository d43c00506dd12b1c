#include "form_view.h"
#include "mireloft_main.h"

void MireloftMain::DisplayTags() {
    if (!reportingFileErrors([this] { refillList(); }))
        return;
    m_view.setEditorText(QString());
    m_shown.reset();
}

void MireloftMain::refreshAfterChange() {
    if (!reportingFileErrors([this] { refillList(); }, true))
        return;
    m_view.setEditorText(QString());
    m_shown.reset();
}

void MireloftMain::refillList() {
    // The window lets go of its share only once the file can be read, so that the refill
    // reuses the memory and a file that cannot be read leaves the list as it was.
    m_store.listTags(m_tags.bytes, m_record, [this] { m_view.setSelectorItems({}); });
    m_tagOrder.sort(m_tags.bytes, m_tags.order);
    m_view.setSelectorItems(m_tags);
}

void MireloftMain::ML_Selector_Click() {
    const QString tag = m_view.selectorText();
    bool found = false;
    if (!reportingFileErrors([&] { found = m_store.loadNote(tag, m_record); }))
        return;
    if (!found) {
        if (!tag.isEmpty())
            reportGone(tag);
        return;
    }
    const QString text = trimBlanks(m_record.Body);
    m_view.setEditorText(text);
    m_shown = ShownItem{tag, m_record.Body, text};
    updateCaption();
}

void MireloftMain::reportGone(const QString& tag) {
    showError(QStringLiteral("The item \"%1\" is no longer in the file: another copy of "
                             "Cardisto, or another program, renamed or deleted it.\n\nThe list now "
                             "shows the items as they are. The text in the editor was kept, so "
                             "that you can copy it.")
                  .arg(trimBlanks(tag)));
    reportingFileErrors([this] { refillList(); });
}

void MireloftMain::updateCaption() {
    m_view.setCaption(QStringLiteral("Cardisto - %1 bytes").arg(m_view.editorText().size()));
}
