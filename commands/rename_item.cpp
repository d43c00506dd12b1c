#include "form/form_view.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/record_file.h"
#include "store/record_scan.h"
#include "store/tag_match.h"

void MireloftMain::mnu_rename_Click() {
    warnIfNothingPicked(QStringLiteral("rename"));
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    Msg = QStringLiteral("New item name...");
    const QString name = m_view.inputBox(Msg, QStringLiteral("New Item"), selected);
    if (name.isEmpty())
        return;
    bool renamed = false;
    reportingFileErrors([&] {
        ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive);
        RecordFile file(ItemFileName);
        // The first loose match in file order, which need not be the selected entry's own.
        const LooseTagMatch wanted(selected);
        RecordScan scan(file);
        while (scan.next()) {
            if (wanted(scan.tag())) {
                scan.loadInto(m_record);
                m_record.setTag(name);
                file.write(scan.number(), m_record);
                renamed = true;
                return;
            }
        }
        scan.loadInto(m_record);
    });
    if (renamed)
        refreshAfterChange();
}
