#pragma once

// Root may write any file, so a test of a read-only file or folder drops root's file access
// rights for the current thread while it runs.
class Unprivileged {
public:
    Unprivileged();
    ~Unprivileged();
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    int m_previous = -1;
};
