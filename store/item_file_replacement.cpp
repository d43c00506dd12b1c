#include "item_file_replacement.h"

#include "disk_sync.h"
#include "note_record.h"
#include "record_file.h"
#include "store_error.h"

#ifdef Q_OS_WIN
#include <QFileInfo>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace {

// Records collected before one write to the temporary file: about 1 MiB, so that copying runs
// at the speed of the disk.
constexpr qsizetype PendingBytes = ((1 << 20) / NoteRecord::Size) * NoteRecord::Size;

// Replaces target by source in one step: no moment exists at which target is missing.
bool renameOver(const QByteArray& source, const QByteArray& target) {
#ifdef Q_OS_WIN
    const QString from = QFile::decodeName(source), to = QFile::decodeName(target);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                       reinterpret_cast<const wchar_t*>(to.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(source.constData(), target.constData()) == 0;
#endif
}

QByteArray folderOf(const QByteArray& fileName) {
    const qsizetype slash = fileName.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : fileName.first(qMax(slash, qsizetype(1)));
}

#ifndef Q_OS_WIN
// For the user: what has a name that Cardisto did not give it.
QString kindOf(const struct stat& file) {
    switch (file.st_mode & S_IFMT) {
    case S_IFDIR:
        return QStringLiteral("a folder");
    case S_IFLNK:
        return QStringLiteral("a link");
    case S_IFREG:
        return QStringLiteral("another user's file");
    case S_IFIFO:
        return QStringLiteral("a pipe");
    case S_IFSOCK:
        return QStringLiteral("a socket");
    default:
        return QStringLiteral("a device");
    }
}

// Asks for a size, then fills that much; the file may change in between, so it asks again.
// None where the call failed, with errno saying why.
template <typename Call> std::optional<QByteArray> readSized(const Call& call) {
    for (;;) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray bytes(size, Qt::Uninitialized);
        const ssize_t read = call(bytes.data(), bytes.size());
        if (read >= 0)
            return bytes.first(read);
        if (errno != ERANGE)
            return std::nullopt;
    }
}
#endif

} // namespace

ItemFileReplacement::ItemFileReplacement(const QString& target, const QString& temporary,
                                         ReplacementObserver observer)
    : m_target(QFile::encodeName(target))
    , m_observer(std::move(observer)) {
    create(QFile::encodeName(temporary));
    try {
        notify(ReplacementStep::Created);
        keepOwnerAndPermissions();
    } catch (...) {
        discard();
        throw;
    }
}

#ifdef Q_OS_WIN

void ItemFileReplacement::create(const QByteArray& temporary) {
    const QFileInfo item(QFile::decodeName(m_target));
    if (item.isSymLink())
        m_target = QFile::encodeName(item.canonicalFilePath());
    m_temporaryName = item.isSymLink() ? m_target + ".tmp" : temporary;
    if (!item.isSymLink())
        QFile::remove(QFile::decodeName(temporary));
    m_temporary.setFileName(QFile::decodeName(m_temporaryName));
    if (!m_temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        fail(m_temporaryName, m_temporary.errorString());
    m_created = true;
}

void ItemFileReplacement::keepOwnerAndPermissions() {
    const QFileInfo old(QFile::decodeName(m_target));
    if (old.isFile())
        m_temporary.setPermissions(old.permissions());
}

#else

void ItemFileReplacement::create(const QByteArray& temporary) {
    struct stat item {};
    int fd = -1;
    if (::lstat(m_target.constData(), &item) == 0 && S_ISLNK(item.st_mode)) {
        char* const resolved = ::realpath(m_target.constData(), nullptr);
        if (!resolved)
            fail(m_target, qt_error_string(errno));
        m_target = resolved;
        std::free(resolved);
        // Beside the file the link leads to, any name may be the user's: only a new one is ours.
        m_temporaryName = m_target + "-XXXXXX.tmp";
        fd = ::mkostemps(m_temporaryName.data(), 4, O_CLOEXEC);
    } else {
        m_temporaryName = temporary;
        struct stat left {};
        if (::lstat(temporary.constData(), &left) == 0) {
            // An interrupted deletion leaves an ordinary file of ours, of any length: a kill may
            // stop a write midway. Anything else is not ours to remove.
            if (!S_ISREG(left.st_mode) || left.st_uid != ::geteuid()) {
                fail(temporary,
                     QStringLiteral("Cardisto writes the remaining items under this name while "
                                    "it deletes, but what has the name now is %1, not a file it "
                                    "left, so it was left as it is. Move it away, then try again.")
                         .arg(kindOf(left)));
            }
            if (::unlink(temporary.constData()) != 0)
                fail(temporary, qt_error_string(errno));
        }
        // Readable by the owner alone until it has the old file's owner and permissions.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    if (fd < 0)
        fail(m_temporaryName, qt_error_string(errno));
    m_created = true;
    if (!m_temporary.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                          QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        discard();
        fail(m_temporaryName, m_temporary.errorString());
    }
}

// Who may read and change the items stays as the user set it: where the new file cannot have
// the old one's owner, group and extended attributes, nothing is replaced. Its permission bits
// follow once it is written.
void ItemFileReplacement::keepOwnerAndPermissions() {
    struct stat old {
    }, made{};
    if (::stat(m_target.constData(), &old) != 0 || ::fstat(m_temporary.handle(), &made) != 0)
        fail(m_target, qt_error_string(errno));
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(m_temporary.handle(), old.st_uid, old.st_gid) != 0) {
        fail(m_temporaryName,
             QStringLiteral("The new file cannot have the owner and group of the old one (%1), "
                            "so deleting would change who may read or change the items. Nothing "
                            "was deleted.")
                 .arg(qt_error_string(errno)));
    }
    keepExtendedAttributes();
    m_mode = old.st_mode & 07777;
}

// ACLs are extended attributes too: a user whom the old file shut out stays shut out.
void ItemFileReplacement::keepExtendedAttributes() {
    const char* const old = m_target.constData();
    const int made = m_temporary.handle();
    const auto names =
        readSized([&](char* into, size_t size) { return ::listxattr(old, into, size); });
    if (!names && errno != ENOTSUP)
        fail(m_target, qt_error_string(errno));
    for (const QByteArray& name : names.value_or(QByteArray()).split('\0')) {
        if (name.isEmpty()) // after the last name's NUL
            continue;
        const auto valueIn = [&](auto get, auto file) {
            return readSized(
                [&](char* into, size_t size) { return get(file, name.constData(), into, size); });
        };
        const auto value = valueIn(::getxattr, old);
        if (!value && errno == ENODATA) // removed meanwhile
            continue;
        if (!value)
            fail(m_target, qt_error_string(errno));
        if (::fsetxattr(made, name.constData(), value->constData(), value->size(), 0) == 0)
            continue;
        const int reason = errno;
        // One that the new file has already, such as a security label, need not be set again.
        if (valueIn(::fgetxattr, made) != value) {
            fail(m_temporaryName,
                 QStringLiteral("The new file cannot have the old one's extended attribute %1 "
                                "(%2), so deleting would change who may read or change the "
                                "items. Nothing was deleted.")
                     .arg(QString::fromUtf8(name), qt_error_string(reason)));
        }
    }
}

#endif

ItemFileReplacement::~ItemFileReplacement() {
    discard();
}

void ItemFileReplacement::discard() {
    if (!m_created || m_committed)
        return;
    m_temporary.close();
#ifdef Q_OS_WIN
    m_temporary.remove();
#else
    ::unlink(m_temporaryName.constData());
#endif
    m_created = false;
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
    qint64 written = 0;
    if (!writeWhole(m_temporary, m_pending, written))
        fail(m_temporaryName, m_temporary.errorString());
    m_pending.resize(0); // keeps the capacity
}

void ItemFileReplacement::commit() {
    writePending();
#ifndef Q_OS_WIN
    // After the owner and the last write: either clears the set-user-ID and set-group-ID bits.
    if (::fchmod(m_temporary.handle(), m_mode) != 0)
        fail(m_temporaryName, qt_error_string(errno));
#endif
    if (const auto failure = syncToDisk(m_temporary))
        fail(m_temporaryName, *failure);
    notify(ReplacementStep::Synced);
    m_temporary.close();
    if (m_temporary.error() != QFileDevice::NoError)
        fail(m_temporaryName, m_temporary.errorString());
    notify(ReplacementStep::Replacing);
    if (!renameOver(m_temporaryName, m_target))
        fail(m_target, qt_error_string());
    m_committed = true;
    notify(ReplacementStep::Replaced);
    syncFolder(folderOf(m_target));
}

void ItemFileReplacement::fail(const QByteArray& fileName, const QString& reason) const {
    throw StoreError(QFile::decodeName(fileName), reason);
}

void ItemFileReplacement::notify(ReplacementStep step) const {
    if (m_observer)
        m_observer(step);
}
