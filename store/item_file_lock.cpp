#include "item_file_lock.h"

#include "store_error.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr unsigned long PollMilliseconds = 20;

QString notOrdinary() {
    return QStringLiteral("This is not an ordinary file (it may be a folder, a pipe, a socket or a "
                          "device), so it cannot hold items. It was left as it is.");
}

#ifdef Q_OS_WIN
// Windows locks keep even this process's other handles from the bytes they cover, so the lock
// covers one byte far beyond any item file's end, where no read or write goes.
OVERLAPPED lockedByte() {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    return at;
}

bool sameFile(HANDLE held, const QString& fileName) {
    const HANDLE named = CreateFileW(reinterpret_cast<const wchar_t*>(fileName.utf16()), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = GetFileInformationByHandle(held, &a) &&
                      GetFileInformationByHandle(named, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(named);
    return same;
}
#endif

} // namespace

ItemFileLock::ItemFileLock(const QString& fileName, Mode mode, std::chrono::milliseconds wait)
    : m_fileName(fileName) {
    const QDeadlineTimer deadline(wait);
    while (!tryOnce(mode)) {
        if (deadline.hasExpired())
            fail(QStringLiteral("Another program, or another copy of Cardisto, is using this file. "
                                "Wait until it has finished, then try again."));
        QThread::msleep(PollMilliseconds);
    }
}

ItemFileLock::~ItemFileLock() {
    release();
}

#ifdef Q_OS_WIN

bool ItemFileLock::tryOnce(Mode mode) {
    if (m_handle == -1) {
        const HANDLE handle =
            CreateFileW(reinterpret_cast<const wchar_t*>(m_fileName.utf16()), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            fail(qt_error_string());
        m_handle = reinterpret_cast<qintptr>(handle);
        if (GetFileType(handle) != FILE_TYPE_DISK) {
            release();
            fail(notOrdinary());
        }
    }
    const auto handle = reinterpret_cast<HANDLE>(m_handle);
    OVERLAPPED at = lockedByte();
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(handle, flags, 0, 1, 0, &at)) {
        if (GetLastError() != ERROR_LOCK_VIOLATION)
            fail(qt_error_string());
        return false;
    }
    if (sameFile(handle, m_fileName))
        return true;
    release();
    return false;
}

void ItemFileLock::release() {
    if (m_handle == -1)
        return;
    const auto handle = reinterpret_cast<HANDLE>(m_handle);
    OVERLAPPED at = lockedByte();
    UnlockFileEx(handle, 0, 1, 0, &at);
    CloseHandle(handle);
    m_handle = -1;
}

#else

bool ItemFileLock::tryOnce(Mode mode) {
    if (m_handle == -1) {
        // Non-blocking, so that a pipe in the file's place cannot stop the program.
        const int fd = ::open(QFile::encodeName(m_fileName).constData(),
                              O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0) {
            // A socket or a device without a driver fails with a reason that names neither.
            const int reason = errno;
            struct stat named {};
            const bool odd = ::stat(QFile::encodeName(m_fileName).constData(), &named) == 0 &&
                             !S_ISREG(named.st_mode);
            fail(odd ? notOrdinary() : qt_error_string(reason));
        }
        m_handle = fd;
        struct stat held {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            release();
            fail(notOrdinary());
        }
    }
    const int fd = int(m_handle);
    if (::flock(fd, (mode == Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            fail(qt_error_string(errno));
        return false;
    }
    // A deletion may have put a new file in place while this one waited for the lock.
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && ::stat(QFile::encodeName(m_fileName).constData(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        return true;
    release();
    return false;
}

void ItemFileLock::release() {
    if (m_handle == -1)
        return;
    ::close(int(m_handle)); // the lock goes with the file's last descriptor
    m_handle = -1;
}

#endif

void ItemFileLock::fail(const QString& reason) {
    release();
    throw StoreError(m_fileName, reason);
}
