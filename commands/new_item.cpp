#include "form/form_view.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/record_file.h"
#include "store/record_scan.h"
#include "store/tag_match.h"

void MireloftMain::mnu_New_Click() {
    Msg = QStringLiteral("New item name...");
    const QString name = m_view.inputBox(Msg, QStringLiteral("New Item"), QString());
    bool written = false;
    if (!name.isEmpty()) {
        const bool done = reportingFileErrors([&] {
            ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive);
            RecordFile file(ItemFileName);
            const double recordCount = file.recordCount();
            // The whole name is compared, before it is cut to the tag's length.
            const LooseTagMatch taken(name);
            bool found = false;
            RecordScan scan(file);
            while (scan.next()) {
                if (taken(scan.tag()))
                    found = true;
            }
            // Reserved stays as the scan left it in the buffer.
            scan.loadInto(m_record);
            m_record.setTag(name);
            m_record.setBody(QString());
            if (!found)
                file.write(RecordFile::roundedRecordNumber(recordCount + 1), m_record);
            file.close();
            written = !found;
        });
        // One box and one wait: the list would find the file as busy as the command did.
        if (!done)
            return;
    }
    if (written)
        refreshAfterChange();
    else
        DisplayTags();
}
