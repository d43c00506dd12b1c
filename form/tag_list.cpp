#include "form_view.h"
#include "mireloft_main.h"

void MireloftMain::DisplayTags() {
    displayTags(Outcome::NothingChanged);
}

void MireloftMain::displayTags(Outcome outcome) {
    if (!reportingFileErrors([this] { m_tags.refill(m_store); }, outcome))
        return;
    m_view.setEditorText(QString());
    m_shown.reset();
}

void MireloftMain::ML_Selector_Click() {
    const QString tag = m_view.selectorText();
    std::optional<QString> body;
    if (!reportingFileErrors([&] { body = m_store.loadNote(tag); })) {
        highlightShownItem();
        return;
    }
    if (body)
        showItem(tag, *body);
    else if (!tag.isEmpty())
        reportGone(tag);
}

void MireloftMain::showItem(const QString& tag, const QString& body) {
    const QString text = trimBlanks(body);
    m_view.setEditorText(text);
    m_shown = ShownItem{tag, body, text};
    updateCaption();
}

void MireloftMain::reportGone(const QString& tag) {
    QString message = QStringLiteral("The item \"%1\" is no longer in the file: another copy of "
                                     "Cardisto, or another program, renamed or deleted it.")
                          .arg(trimBlanks(tag));
    if (reportingFileErrors([this] { m_tags.refill(m_store); }))
        message += QStringLiteral("\n\nThe list now shows the items as they are.");
    highlightShownItem();
    // Save, Copy and the caption go on acting on the text the editor holds, so the user must
    // see whose it is.
    const bool listed = m_shown && m_tags.rowOf(m_shown->tag) >= 0;
    if (!m_shown || m_shown->tag == tag)
        message += QStringLiteral(" The text in the editor was kept, so that you can copy it.");
    else if (listed)
        message += QStringLiteral(" The editor still holds the text of \"%1\", which is "
                                  "highlighted again.")
                       .arg(trimBlanks(m_shown->tag));
    else
        message += QStringLiteral(" The editor holds the text of \"%1\", which is no longer in "
                                  "the file either; copy it if you need it.")
                       .arg(trimBlanks(m_shown->tag));
    if (!listed)
        m_shown.reset();
    showError(message);
}

void MireloftMain::highlightShownItem() {
    m_view.selectEntry(m_shown ? m_tags.rowOf(m_shown->tag) : -1);
}

void MireloftMain::updateCaption() {
    m_view.setCaption(QStringLiteral("Cardisto - %1 bytes").arg(m_view.editorText().size()));
}
