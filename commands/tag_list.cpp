#include "commands/tag_order.h"
#include "form/form_view.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/record_file.h"

void MireloftMain::DisplayTags() {
    m_view.setSelectorItems({});
    reportingFileErrors([this] {
        ItemFileLock lock(ItemFileName, ItemFileLock::Shared);
        RecordFile file(ItemFileName);
        QStringList tags;
        for (qint64 n = 1; n <= file.recordCount(); ++n) {
            file.read(n, m_record);
            tags.append(m_record.Tag);
        }
        file.close();
        lock.release();
        sortTags(tags);
        m_view.setSelectorItems(tags);
    });
    m_view.setEditorText(QString());
}

void MireloftMain::ML_Selector_Click() {
    reportingFileErrors([this] {
        const QString selected = m_view.selectorText();
        ItemFileLock lock(ItemFileName, ItemFileLock::Shared);
        RecordFile file(ItemFileName);
        for (qint64 n = 1; n <= file.recordCount(); ++n) {
            file.read(n, m_record);
            if (m_record.exactTagMatch(selected)) {
                m_view.setEditorText(trimBlanks(m_record.Body));
                updateCaption();
                return;
            }
        }
    });
}

void MireloftMain::updateCaption() {
    m_view.setCaption(QStringLiteral("Cardisto - %1 bytes").arg(m_view.editorText().size()));
}
