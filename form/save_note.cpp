#include "form_view.h"
#include "message_box_style.h"
#include "mireloft_main.h"

void MireloftMain::mnu_SaveQuote_Click() {
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    const QString editor = m_view.editorText();
    const bool shown = m_shown && m_shown->tag == selected;
    const QString attention = QStringLiteral("Attention!");
    const QString changedMeanwhile =
        QStringLiteral("The text for: ") + trimBlanks(selected) +
        QStringLiteral("\r\n...was changed by another program or another copy of Cardisto since "
                       "you picked it.");
    const QString saved = QStringLiteral("The text for: ") + trimBlanks(selected) +
                          QStringLiteral("\r\n...was sucessfully saved!");
    // Writing an unedited text back could still change bytes (blanks the editor never showed)
    // or undo what another copy stored meanwhile: it is only looked up.
    if (shown && editor == m_shown->text) {
        std::optional<QString> stored;
        if (!reportingFileErrors([&] { stored = m_store.loadNote(selected); }))
            return;
        if (!stored) {
            reportGone(selected);
        } else if (*stored != m_shown->body) {
            showItem(selected, *stored); // nothing of the editor's to keep
            ask({attention,
                 changedMeanwhile +
                     QStringLiteral(" Nothing was saved: the editor now shows the stored text."),
                 MessageBoxStyle::Warning});
        } else {
            updateCaption();
            ask({attention, saved, MessageBoxStyle::Warning});
        }
        return;
    }
    const QString text = trimBlanks(editor);
    using Saved = ItemStore::Saved;
    Saved result;
    const auto save = [&](const std::optional<QString>& bodyBefore) {
        return reportingFileErrors([&] { result = m_store.saveNote(selected, text, bodyBefore); });
    };
    if (!save(shown ? std::optional(m_shown->body) : std::nullopt))
        return;
    if (result.outcome == Saved::ChangedMeanwhile) {
        const int answer =
            ask({attention, changedMeanwhile + QStringLiteral(" Replace that text with yours?"),
                 MessageBoxStyle::QuestionDefaultNo});
        if (answer != MessageBoxResult::Yes || !save(std::nullopt))
            return;
    }
    if (result.outcome == Saved::NotFound) {
        reportGone(selected);
        return;
    }
    m_shown = ShownItem{selected, result.body, editor};
    updateCaption();
    // The number keeps the blank of its sign position.
    ask({attention,
         result.cut > 0
             ? QStringLiteral("The text you wanted to save was %1 characters longer than the "
                              "program allows, and was truncated by that amount. You need to go "
                              "back and edit it to be shorter, or perhaps break it into two or "
                              "more separate items.")
                   .arg(QLatin1Char(' ') + QString::number(result.cut))
             : saved,
         MessageBoxStyle::Warning});
}
