#include "commands/tag_order.h"
#include "form/form_view.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/large_buffer.h"
#include "store/record_file.h"
#include "store/record_scan.h"
#include "store/tag_match.h"

void MireloftMain::DisplayTags() {
    reportingFileErrors([this] { fillSelector(); });
}

void MireloftMain::fillSelector() {
    ItemFileLock lock(ItemFileName, ItemFileLock::Shared);
    RecordFile file(ItemFileName);
    RecordScan scan(file);
    const bool any = scan.next();
    // The list's memory is refilled, so it is taken only once the file is locked and read from.
    SelectorTags tags = m_view.takeSelectorItems();
    tags.bytes.resize(0);
    prepareRefill(tags.bytes, scan.count() * NoteRecord::TagLength);
    for (bool more = any; more; more = scan.next())
        tags.bytes += scan.tag();
    scan.loadInto(m_record);
    file.close();
    lock.release();
    m_tagOrder.sort(tags.bytes, tags.order);
    m_view.setSelectorItems(std::move(tags));
    m_view.setEditorText(QString());
    m_shown.reset();
}

void MireloftMain::ML_Selector_Click() {
    reportingFileErrors([this] {
        const QString tag = m_view.selectorText();
        const ExactTagMatch selected(tag);
        ItemFileLock lock(ItemFileName, ItemFileLock::Shared);
        RecordFile file(ItemFileName);
        RecordScan scan(file);
        while (scan.next()) {
            if (selected(scan.tag())) {
                scan.loadInto(m_record);
                const QString text = trimBlanks(m_record.Body);
                m_view.setEditorText(text);
                m_shown = ShownItem{tag, m_record.Body, text};
                updateCaption();
                return;
            }
        }
        scan.loadInto(m_record);
    });
}

void MireloftMain::updateCaption() {
    m_view.setCaption(QStringLiteral("Cardisto - %1 bytes").arg(m_view.editorText().size()));
}
