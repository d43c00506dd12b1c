#include "disk_sync.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

std::optional<QString> syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return file.errorString();
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    const bool synced = FlushFileBuffers(handle) != 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (synced)
        return std::nullopt;
    return qt_error_string(); // errno, or GetLastError() on Windows
}

void syncFolder([[maybe_unused]] const QByteArray& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

bool writeWhole(QFileDevice& file, QByteArrayView bytes, qint64& written) {
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.data() + written, bytes.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}
