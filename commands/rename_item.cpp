#include "form/form_view.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/record_file.h"

void MireloftMain::mnu_rename_Click() {
    warnIfNothingPicked(QStringLiteral("rename"));
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    Msg = QStringLiteral("New item name...");
    const QString name = m_view.inputBox(Msg, QStringLiteral("New Item"), selected);
    if (name.isEmpty())
        return;
    reportingFileErrors([&] {
        ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive);
        RecordFile file(ItemFileName);
        for (qint64 n = 1; n <= file.recordCount(); ++n) {
            file.read(n, m_record);
            // The first loose match in file order, which need not be the selected entry's own.
            if (m_record.looseTagMatch(selected)) {
                m_record.setTag(name);
                file.write(n, m_record);
                file.close();
                lock.release();
                DisplayTags();
                return;
            }
        }
    });
}
