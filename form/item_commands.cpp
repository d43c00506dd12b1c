#include "desktop_services.h"
#include "form_view.h"
#include "message_box_style.h"
#include "mireloft_main.h"

// The commands on items: the list and its picks, New, Save, Rename, Delete and Copy.

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
    if (!reportingFileErrors([&] { body = m_store.loadText(tag); })) {
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
        if (!reportingFileErrors([&] { stored = m_store.loadText(selected); }))
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
        return reportingFileErrors([&] { result = m_store.saveText(selected, text, bodyBefore); });
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

void MireloftMain::mnu_copy_Click() {
    m_desktop.clearClipboard();
    m_desktop.setClipboardText(m_view.editorText());
}
