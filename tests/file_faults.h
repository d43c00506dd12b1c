#pragma once

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
