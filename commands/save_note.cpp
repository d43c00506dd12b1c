#include "form/form_view.h"
#include "form/message_box_style.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/record_file.h"
#include "store/record_scan.h"
#include "store/tag_match.h"
#include "store/windows1252.h"

namespace {

enum class SaveOutcome { Saved, NotFound, ChangedMeanwhile };

} // namespace

void MireloftMain::mnu_SaveQuote_Click() {
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    const QString text = trimBlanks(m_view.editorText());
    const bool shown = m_shown && m_shown->tag == selected;
    // Writing an unedited text back could still change bytes (blanks the editor never showed)
    // or undo what another copy stored meanwhile.
    const bool edited = !shown || m_view.editorText() != m_shown->text;
    bool replaceChanged = !shown;
    SaveOutcome outcome = SaveOutcome::NotFound;
    const auto save = [&] {
        reportingFileErrors([&] {
            ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive);
            RecordFile file(ItemFileName);
            const ExactTagMatch wanted(selected);
            RecordScan scan(file);
            while (scan.next()) {
                if (!wanted(scan.tag()))
                    continue;
                scan.loadInto(m_record);
                if (!edited) {
                    outcome = SaveOutcome::Saved;
                    return;
                }
                if (!replaceChanged && m_record.Body != m_shown->body) {
                    outcome = SaveOutcome::ChangedMeanwhile;
                    return;
                }
                m_record.setBody(text);
                file.write(scan.number(), m_record);
                m_shown = ShownItem{selected, m_record.Body, m_view.editorText()};
                outcome = SaveOutcome::Saved;
                return;
            }
            scan.loadInto(m_record);
        });
    };
    save();
    if (outcome == SaveOutcome::ChangedMeanwhile) {
        Title = QStringLiteral("Attention!");
        Msg = QStringLiteral("The text for: ") + trimBlanks(selected) +
              QStringLiteral("\r\n...was changed by another copy of Cardisto since you picked it. "
                             "Replace that text with yours?");
        Style = MessageBoxStyle::Question;
        showMessage();
        if (Response != MessageBoxResult::Yes)
            return;
        replaceChanged = true;
        save();
    }
    if (outcome != SaveOutcome::Saved)
        return;
    updateCaption();
    Title = QStringLiteral("Attention!");
    // Counted as stored: a character outside the code page is one, whatever its units.
    const qsizetype length = Windows1252::storable(text).size();
    if (length > NoteRecord::BodyLength) {
        // The number keeps the blank of its sign position.
        Msg = QStringLiteral("The text you wanted to save was %1 characters longer than "
                             "the program allows, and was truncated by that amount. You "
                             "need to go back and edit it to be shorter, or perhaps break "
                             "it into two or more separate items.")
                  .arg(QLatin1Char(' ') + QString::number(length - NoteRecord::BodyLength));
    } else {
        Msg = QStringLiteral("The text for: ") + trimBlanks(selected) +
              QStringLiteral("\r\n...was sucessfully saved!");
    }
    Style = MessageBoxStyle::Warning;
    showMessage();
}
