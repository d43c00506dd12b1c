#include "commands/delete_item.h"

#include "form/form_view.h"
#include "form/message_box_style.h"
#include "form/mireloft_main.h"
#include "store/item_file.h"
#include "store/item_file_lock.h"
#include "store/record_file.h"
#include "store/record_scan.h"
#include "store/store_error.h"
#include "store/tag_match.h"

void removeTaggedRecords(const QString& tag, NoteRecord& buffer,
                         const ReplacementObserver& observer) {
    // Held until the new file is in place, so that no other copy writes to the old one meanwhile.
    ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive);
    RecordFile itemFile(ItemFileName);
    // Replacing the file would undo the user's choice to make it read-only.
    if (!itemFile.isWritable())
        throw StoreError(ItemFileName,
                         QStringLiteral("The file can only be read, so no item can be deleted."));
    // A link stays a link: the replacement puts the new file where the link leads.
    ItemFileReplacement replacement(ItemFileName, TemporaryFileName, observer);
    const ExactTagMatch removed(tag);
    RecordScan scan(itemFile);
    while (scan.next()) {
        if (!removed(scan.tag()))
            replacement.append(scan.record());
    }
    scan.loadInto(buffer);
    itemFile.close();
    replacement.commit();
}

void MireloftMain::mnu_delete_Click() {
    warnIfNothingPicked(QStringLiteral("delete"));
    const QString selected = m_view.selectorText();
    if (selected.isEmpty())
        return;
    Title = QStringLiteral("Confirm");
    Msg = QStringLiteral("Delete Item: ") + trimBlanks(selected) + QStringLiteral(" ?");
    Style = MessageBoxStyle::ConfirmDanger;
    showMessage();
    if (Response != MessageBoxResult::Yes)
        return;
    if (reportingFileErrors([&] { removeTaggedRecords(selected, m_record); }))
        refreshAfterChange();
}
