#include "store/item_file_replacement.h"

#include "store/disk_sync.h"
#include "store/note_record.h"
#include "store/store_error.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#endif

namespace {

// Records collected before one write to the temporary file: about 1 MiB, so that copying runs
// at the speed of the disk.
constexpr qsizetype PendingBytes = ((1 << 20) / NoteRecord::Size) * NoteRecord::Size;

// Replaces target by source in one step: no moment exists at which target is missing.
bool renameOver(const QString& source, const QString& target) {
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t*>(source.utf16()),
                       reinterpret_cast<const wchar_t*>(target.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(QFile::encodeName(source).constData(),
                       QFile::encodeName(target).constData()) == 0;
#endif
}

} // namespace

ItemFileReplacement::ItemFileReplacement(const QString& target, const QString& temporary,
                                         ReplacementObserver observer)
    : m_target(target)
    , m_temporary(temporary)
    , m_observer(std::move(observer)) {
    // Creating the file afresh rather than truncating it keeps nothing of a stale one: not its
    // records, not its rights, and no link it may have become.
    QFile::remove(temporary);
    if (!m_temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        fail(temporary, m_temporary.errorString());
    keepPermissionsOf(target);
}

// Who may read the items stays as the user set it.
void ItemFileReplacement::keepPermissionsOf(const QString& target) {
#ifdef Q_OS_WIN
    const QFileInfo old(target);
    if (old.isFile())
        m_temporary.setPermissions(old.permissions());
#else
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(m_temporary.handle(), old.st_mode & 0777) != 0)
        fail(m_temporary.fileName(), qt_error_string(errno));
#endif
}

ItemFileReplacement::~ItemFileReplacement() {
    if (!m_committed) {
        m_temporary.close();
        m_temporary.remove();
    }
}

void ItemFileReplacement::append(QByteArrayView recordBytes) {
    Q_ASSERT(recordBytes.size() == NoteRecord::Size);
    if (m_pending.capacity() < PendingBytes)
        m_pending.reserve(PendingBytes);
    m_pending += recordBytes;
    if (m_pending.size() >= PendingBytes)
        writePending();
    notify(ReplacementStep::RecordCopied);
}

void ItemFileReplacement::writePending() {
    QByteArrayView rest(m_pending);
    while (!rest.isEmpty()) {
        // A short write is retried: the retry fails with the reason, such as a full disk.
        const qint64 written = m_temporary.write(rest.data(), rest.size());
        if (written <= 0)
            fail(m_temporary.fileName(), m_temporary.errorString());
        rest = rest.sliced(written);
    }
    m_pending.resize(0); // keeps the capacity
}

void ItemFileReplacement::commit() {
    writePending();
    if (const auto failure = syncToDisk(m_temporary))
        fail(m_temporary.fileName(), *failure);
    notify(ReplacementStep::Synced);
    m_temporary.close();
    if (m_temporary.error() != QFileDevice::NoError)
        fail(m_temporary.fileName(), m_temporary.errorString());
    notify(ReplacementStep::Replacing);
    if (!renameOver(m_temporary.fileName(), m_target))
        fail(m_target, qt_error_string());
    m_committed = true;
    notify(ReplacementStep::Replaced);
    syncFolder(QFileInfo(m_target).absolutePath());
}

void ItemFileReplacement::fail(const QString& fileName, const QString& reason) const {
    throw StoreError(fileName, reason);
}

void ItemFileReplacement::notify(ReplacementStep step) const {
    if (m_observer)
        m_observer(step);
}
