#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// The points of a replacement at which an observer is told; a crash test stops the process there.
enum class ReplacementStep { Created, RecordCopied, Synced, Replacing, Replaced };
using ReplacementObserver = std::function<void(ReplacementStep)>;

// Builds a new version of a record file in a temporary file beside it and puts it in the file's
// place in one atomic step, so that a crash at any moment leaves either the whole old file or the
// whole new one. The temporary file is created exclusively and readable by its owner alone; it
// takes the old file's owner, group and extended attributes (its ACL among them), and once
// written its permission bits, set-ID bits included. Where it cannot have them all, nothing is
// replaced. One that an interrupted run left under the fixed name is discarded first; anything
// else by that name is left alone and reported. A target that is a link stays a link: the file it
// leads to is replaced, in its own folder, from a temporary file of a unique name there. Every
// failure throws StoreError; until commit() has succeeded the target is untouched, and a
// replacement that is not committed removes the temporary file it created, and no other.
class ItemFileReplacement {
public:
    ItemFileReplacement(const QString& target, const QString& temporary,
                        ReplacementObserver observer = {});
    ~ItemFileReplacement();
    ItemFileReplacement(const ItemFileReplacement&) = delete;
    ItemFileReplacement& operator=(const ItemFileReplacement&) = delete;

    // A record's raw bytes (NoteRecord::Size of them); records go to positions 1, 2, 3, ... in
    // the order given.
    void append(QByteArrayView recordBytes);
    // Puts what was appended on the disk, then in the target's place.
    void commit();

private:
    void create(const QByteArray& temporary);
    void keepOwnerAndPermissions();
    void keepExtendedAttributes();
    void discard();
    void writePending();
    [[noreturn]] void fail(const QByteArray& fileName, const QString& reason) const;
    void notify(ReplacementStep step) const;

    // Names as the system gives them: a folder's name need not be valid text.
    QByteArray m_target;
    QByteArray m_temporaryName;
    // Unbuffered, so that a short write is retried and its system error comes through.
    QFile m_temporary;
    QByteArray m_pending;
    ReplacementObserver m_observer;
    unsigned m_mode = 0600; // the old file's permission bits, set once all is written
    bool m_created = false;
    bool m_committed = false;
};
