#pragma once

#include <QString>

#include <optional>

class QFileDevice;

// Pushes what was written to a file past every cache onto the disk. Qt's flush() only empties
// its own buffer; a report of success must survive a power cut. On failure, returns the
// system's reason: QFile knows nothing of a failed fsync.
[[nodiscard]] std::optional<QString> syncToDisk(QFileDevice& file);

// Makes a rename inside the folder durable. Best effort: some file systems refuse it. The name is
// the system's own bytes.
void syncFolder(const QByteArray& folder);

// Writes all of `bytes`, counting in `written` what went out. A short write is retried, so that
// a full disk is reported with its reason; false on failure.
bool writeWhole(QFileDevice& file, QByteArrayView bytes, qint64& written);
