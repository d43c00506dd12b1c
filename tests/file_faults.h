#pragma once

#include "unprivileged.h"

#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>

// Writes that would make a file longer than `bytes` fail as on a full disk, while in scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

// Lets the user that Unprivileged switches to only read `file`; its folder stays writable.
inline void makeReadOnly(const QString& file, const QString& folder) {
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
}
