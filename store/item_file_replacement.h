#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// The points of a replacement at which an observer is told; a crash test stops the process there.
enum class ReplacementStep { RecordCopied, Synced, Replacing, Replaced };
using ReplacementObserver = std::function<void(ReplacementStep)>;

// Builds a new version of a record file in a temporary file beside it and puts it in the file's
// place in one atomic step, so that a crash at any moment leaves either the whole old file or the
// whole new one. A temporary file left by an interrupted run is discarded first. Every failure
// throws StoreError; until commit() has succeeded the target is untouched, and a replacement that
// is not committed removes its temporary file.
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
    void keepPermissionsOf(const QString& target);
    void writePending();
    [[noreturn]] void fail(const QString& fileName, const QString& reason) const;
    void notify(ReplacementStep step) const;

    QString m_target;
    // Unbuffered, so that a short write is retried and its system error comes through.
    QFile m_temporary;
    QByteArray m_pending;
    ReplacementObserver m_observer;
    bool m_committed = false;
};
