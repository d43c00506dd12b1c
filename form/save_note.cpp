#include "form_view.h"
#include "message_box_style.h"
#include "mireloft_main.h"
#include "windows1252.h"

void MireloftMain::mnu_SaveQuote_Click() {
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    const QString editor = m_view.editorText();
    const QString text = trimBlanks(editor);
    const bool shown = m_shown && m_shown->tag == selected;
    // Writing an unedited text back could still change bytes (blanks the editor never showed)
    // or undo what another copy stored meanwhile.
    const bool edited = !shown || editor != m_shown->text;
    const std::optional<QString> written = edited ? std::optional(text) : std::nullopt;
    const std::optional<QString> bodyBefore = shown ? std::optional(m_shown->body) : std::nullopt;
    using Saved = ItemStore::Saved;
    Saved saved = Saved::NotFound;
    if (!reportingFileErrors(
            [&] { saved = m_store.saveNote(selected, written, bodyBefore, m_record); }))
        return;
    const QString changedMeanwhile =
        QStringLiteral("The text for: ") + trimBlanks(selected) +
        QStringLiteral("\r\n...was changed by another program or another copy of Cardisto since "
                       "you picked it.");
    const QString attention = QStringLiteral("Attention!");
    if (saved == Saved::ChangedMeanwhile && !edited) {
        // Nothing to keep of the editor's: show what the file now holds.
        const QString stored = trimBlanks(m_record.Body);
        m_view.setEditorText(stored);
        m_shown = ShownItem{selected, m_record.Body, stored};
        updateCaption();
        ask({attention,
             changedMeanwhile +
                 QStringLiteral(" Nothing was saved: the editor now shows the stored text."),
             MessageBoxStyle::Warning});
        return;
    }
    if (saved == Saved::ChangedMeanwhile) {
        const int answer =
            ask({attention, changedMeanwhile + QStringLiteral(" Replace that text with yours?"),
                 MessageBoxStyle::QuestionDefaultNo});
        if (answer != MessageBoxResult::Yes || !reportingFileErrors([&] {
                saved = m_store.saveNote(selected, written, std::nullopt, m_record);
            }))
            return;
    }
    if (saved == Saved::NotFound) {
        reportGone(selected);
        return;
    }
    if (saved == Saved::Written)
        m_shown = ShownItem{selected, m_record.Body, editor};
    updateCaption();
    // Counted as stored: a character outside the code page is one, whatever its units.
    const qsizetype length = Windows1252::storable(text).size();
    QString message;
    if (length > NoteRecord::BodyLength) {
        // The number keeps the blank of its sign position.
        message = QStringLiteral("The text you wanted to save was %1 characters longer than the "
                                 "program allows, and was truncated by that amount. You need to go "
                                 "back and edit it to be shorter, or perhaps break it into two or "
                                 "more separate items.")
                      .arg(QLatin1Char(' ') + QString::number(length - NoteRecord::BodyLength));
    } else {
        message = QStringLiteral("The text for: ") + trimBlanks(selected) +
                  QStringLiteral("\r\n...was sucessfully saved!");
    }
    ask({attention, message, MessageBoxStyle::Warning});
}
