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
// StoreError, with the file as it was. It owns the one record buffer that the commands share, as
// the file's first program did: records are read through it, and a new item takes its Reserved
// field from the last record read.
class ItemStore {
public:
    // How long the program's commands wait for another copy that holds the file.
    static constexpr std::chrono::seconds DefaultLockWait{5};

    explicit ItemStore(std::chrono::milliseconds lockWait);

    // Every whole record's tag, as stored, in record order, into `tags`, whose memory is reused.
    // `beforeFill` runs once the file is locked and its first block read, before `tags` changes.
    void listTags(QByteArray& tags, const std::function<void()>& beforeFill = {});
    // The text of the first record tagged exactly `tag`, as stored; none when there is no such
    // record.
    std::optional<QString> loadText(const QString& tag);

    // What Save found and did.
    struct Saved {
        enum Outcome { Written, NotFound, ChangedMeanwhile } outcome = NotFound;
        QString body;      // the record's text as stored now
        qsizetype cut = 0; // characters of the text, as stored, that did not fit
    };
    // Stores `text` as the body of the first record tagged exactly `tag`. With `bodyBefore`, a
    // record whose body is no longer that (another copy stored a text meanwhile) is left alone.
    Saved saveText(const QString& tag, const QString& text,
                   const std::optional<QString>& bodyBefore = {});
    // Adds a record with the name and an empty text, unless a stored tag matches it loosely
    // (the whole name, before it is cut to a tag's length). True when it was added.
    bool addItem(const QString& name);
    // Gives the first record in file order whose tag matches `tag` loosely the new name. False
    // when no record matches.
    bool renameItem(const QString& tag, const QString& name);
    // Rewrites the file without every record tagged exactly `tag`; the others keep their order
    // and bytes. Returns how many were removed.
    qint64 removeItem(const QString& tag, const ReplacementObserver& observer = {});

private:
    std::chrono::milliseconds m_lockWait;
    NoteRecord m_buffer; // zero-filled at start
};
