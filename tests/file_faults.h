#pragma once

#include <QFile>

#include <csignal>
#include <cstring>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

// Root may write any file, so a test of a read-only file or folder drops root's file access
// rights for the current thread while it runs.
class Unprivileged {
public:
    Unprivileged() {
        if (geteuid() == 0) {
            setfsgid(Nobody);
            m_previous = setfsuid(Nobody);
        }
    }
    ~Unprivileged() {
        if (m_previous >= 0) {
            setfsuid(m_previous);
            setfsgid(getegid());
        }
    }

private:
    static constexpr int Nobody = 65534;
    int m_previous = -1;
};

// Writes that would make a file longer than `bytes` fail as on a full disk, while in scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not the end of the process
        getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit limit{bytes, m_previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_previous); }

private:
    rlimit m_previous{};
};

// Gives the owner and everyone else, such as the user Unprivileged switches to, just the rights
// named, as in "rx".
inline void allowOnly(const QString& path, const char* rights) {
    QFile::Permissions permissions;
    if (std::strchr(rights, 'r'))
        permissions |= QFile::ReadOwner | QFile::ReadOther;
    if (std::strchr(rights, 'w'))
        permissions |= QFile::WriteOwner | QFile::WriteOther;
    if (std::strchr(rights, 'x'))
        permissions |= QFile::ExeOwner | QFile::ExeOther;
    QFile::setPermissions(path, permissions);
}
