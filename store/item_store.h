#pragma once

#include "item_file_replacement.h"
#include "note_record.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// Each command's whole session with zmr.lst in one call: lock, open, scan, write and flush,
// close. Nothing is held once a call returns, so the caller may show a box; every failure throws
// StoreError, with the file as it was. Records are read through `buffer`, the one record buffer
// the commands share, which afterwards holds what a record-by-record scan would have left in it.
class ItemStore {
public:
    // How long a command waits for another copy that holds the file, unless told otherwise.
    static constexpr std::chrono::seconds DefaultLockWait{5};

    explicit ItemStore(std::chrono::milliseconds lockWait = DefaultLockWait);

    // Every whole record's tag, as stored, in record order, into `tags`, whose memory is reused.
    // `beforeFill` runs once the file is locked and its first block read, before `tags` changes.
    void listTags(QByteArray& tags, NoteRecord& buffer,
                  const std::function<void()>& beforeFill = {}) const;
    // The first record tagged exactly `tag` into `buffer`; false when there is none.
    bool loadNote(const QString& tag, NoteRecord& buffer) const;

    enum class Saved { Written, NotFound, ChangedMeanwhile, Unchanged };
    // Stores `text` as the body of the first record tagged exactly `tag`. Without `text` nothing
    // is written (Unchanged), and only whether the record is still there, and still holds
    // `bodyBefore`, is told. With `bodyBefore`, a record whose body is no longer that (another
    // copy stored a text meanwhile) is left alone.
    Saved saveNote(const QString& tag, const std::optional<QString>& text,
                   const std::optional<QString>& bodyBefore, NoteRecord& buffer) const;
    // Adds a record with the name and an empty text, unless a stored tag matches it loosely
    // (the whole name, before it is cut to a tag's length). True when it was added.
    bool addItem(const QString& name, NoteRecord& buffer) const;
    // Gives the first record in file order whose tag matches `tag` loosely the new name. False
    // when no record matches.
    bool renameItem(const QString& tag, const QString& name, NoteRecord& buffer) const;
    // Rewrites the file without every record tagged exactly `tag`; the others keep their order
    // and bytes. Returns how many were removed.
    qint64 removeItem(const QString& tag, NoteRecord& buffer,
                      const ReplacementObserver& observer = {}) const;

private:
    std::chrono::milliseconds m_lockWait;
};
