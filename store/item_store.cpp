#include "item_store.h"

#include "item_file.h"
#include "item_file_lock.h"
#include "large_buffer.h"
#include "record_file.h"
#include "record_scan.h"
#include "store_error.h"
#include "tag_match.h"

#include <csignal>

namespace {

// A write past the file-size limit (ulimit -f) must fail with EFBIG, so that a half-written
// record is undone, instead of ending the process. Process-wide, so set once.
void letWritesFailBeyondTheSizeLimit() {
#ifdef SIGXFSZ
    [[maybe_unused]] static const auto once = std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace

ItemStore::ItemStore(std::chrono::milliseconds lockWait)
    : m_lockWait(lockWait) {
    letWritesFailBeyondTheSizeLimit();
}

void ItemStore::listTags(QByteArray& tags, const std::function<void()>& beforeFill) {
    const ItemFileLock lock(ItemFileName, ItemFileLock::Shared, m_lockWait);
    RecordFile file(ItemFileName, RecordFile::ReadOnly);
    RecordScan scan(file);
    const bool any = scan.next();
    if (beforeFill)
        beforeFill();
    tags.resize(0);
    prepareRefill(tags, scan.count() * NoteRecord::TagLength);
    for (bool more = any; more; more = scan.next())
        tags += scan.tag();
    scan.loadInto(m_buffer);
}

std::optional<QString> ItemStore::loadText(const QString& tag) {
    const ExactTagMatch wanted(tag);
    const ItemFileLock lock(ItemFileName, ItemFileLock::Shared, m_lockWait);
    RecordFile file(ItemFileName, RecordFile::ReadOnly);
    RecordScan scan(file);
    bool found = false;
    while (!found && scan.next())
        found = wanted(scan.tag());
    scan.loadInto(m_buffer);
    return found ? std::optional(m_buffer.Body) : std::nullopt;
}

ItemStore::Saved ItemStore::saveText(const QString& tag, const QString& text,
                                     const std::optional<QString>& bodyBefore) {
    const ExactTagMatch wanted(tag);
    const ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive, m_lockWait);
    RecordFile file(ItemFileName);
    RecordScan scan(file);
    while (scan.next()) {
        if (!wanted(scan.tag()))
            continue;
        scan.loadInto(m_buffer);
        if (bodyBefore && m_buffer.Body != *bodyBefore)
            return {Saved::ChangedMeanwhile, m_buffer.Body};
        const qsizetype cut = m_buffer.setBody(text);
        file.write(scan.number(), m_buffer, scan.record());
        return {Saved::Written, m_buffer.Body, cut};
    }
    scan.loadInto(m_buffer);
    return {};
}

bool ItemStore::addItem(const QString& name) {
    const LooseTagMatch taken(name);
    const ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive, m_lockWait);
    RecordFile file(ItemFileName);
    const qint64 number = RecordFile::roundedRecordNumber(file.recordCount() + 1);
    // One more would make the file one that no command could open again.
    if (number > RecordFile::MaxRecords)
        throw StoreError(ItemFileName,
                         QStringLiteral("The file already holds %1 items, the most that Cardisto "
                                        "can work on. Delete an item before you add another.")
                             .arg(groupedNumber(RecordFile::MaxRecords)));
    bool found = false;
    RecordScan scan(file);
    while (scan.next()) {
        if (taken(scan.tag()))
            found = true;
    }
    // Reserved stays as the scan left it in the buffer.
    scan.loadInto(m_buffer);
    m_buffer.setTag(name);
    m_buffer.setBody(QString());
    if (!found)
        file.write(number, m_buffer);
    return !found;
}

bool ItemStore::renameItem(const QString& tag, const QString& name) {
    const LooseTagMatch wanted(tag);
    const ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive, m_lockWait);
    RecordFile file(ItemFileName);
    RecordScan scan(file);
    while (scan.next()) {
        if (wanted(scan.tag())) {
            scan.loadInto(m_buffer);
            m_buffer.setTag(name);
            file.write(scan.number(), m_buffer, scan.record());
            return true;
        }
    }
    scan.loadInto(m_buffer);
    return false;
}

qint64 ItemStore::removeItem(const QString& tag, const ReplacementObserver& observer) {
    // Held until the new file is in place, so that no other copy writes to the old one meanwhile.
    const ItemFileLock lock(ItemFileName, ItemFileLock::Exclusive, m_lockWait);
    RecordFile file(ItemFileName);
    // Replacing the file would undo the user's choice to make it read-only.
    if (!file.isWritable())
        throw StoreError(ItemFileName,
                         QStringLiteral("The file can only be read, so no item can be deleted."));
    // A link stays a link: the replacement puts the new file where the link leads.
    ItemFileReplacement replacement(ItemFileName, TemporaryFileName, observer);
    const ExactTagMatch removed(tag);
    qint64 count = 0;
    RecordScan scan(file);
    while (scan.next()) {
        if (removed(scan.tag()))
            ++count;
        else
            replacement.append(scan.record());
    }
    scan.loadInto(m_buffer);
    file.close();
    replacement.commit();
    return count;
}
