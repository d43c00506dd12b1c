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
    // The old list's memory is filled again: on a large file, touching fresh memory costs a
    // good part of a scan.
    SelectorTags tags = m_view.takeSelectorItems();
    tags.bytes.resize(0);
    reportingFileErrors([&] {
        ItemFileLock lock(ItemFileName, ItemFileLock::Shared);
        RecordFile file(ItemFileName);
        RecordScan scan(file);
        const qsizetype needed = scan.count() * NoteRecord::TagLength;
        if (tags.bytes.capacity() > 2 * needed)
            tags.bytes = QByteArray(); // far fewer tags than last time: give it back
        if (tags.bytes.capacity() < needed) {
            tags.bytes.reserve(needed);
            adviseLargePages(tags.bytes.data(), tags.bytes.capacity());
        }
        TagSorter sorter(scan.count());
        while (scan.next()) {
            tags.bytes += scan.tag();
            sorter.add(scan.tag());
        }
        scan.loadInto(m_record);
        file.close();
        lock.release();
        sorter.order(tags.bytes, tags.order);
        m_view.setSelectorItems(std::move(tags));
    });
    m_view.setEditorText(QString());
}

void MireloftMain::ML_Selector_Click() {
    reportingFileErrors([this] {
        const ExactTagMatch selected(m_view.selectorText());
        ItemFileLock lock(ItemFileName, ItemFileLock::Shared);
        RecordFile file(ItemFileName);
        RecordScan scan(file);
        while (scan.next()) {
            if (selected(scan.tag())) {
                scan.loadInto(m_record);
                m_view.setEditorText(trimBlanks(m_record.Body));
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
