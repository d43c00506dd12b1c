#include "unprivileged.h"

#include <sys/fsuid.h>
#include <unistd.h>

namespace {
constexpr int Nobody = 65534;
}

Unprivileged::Unprivileged() {
    if (geteuid() == 0) {
        setfsgid(Nobody);
        m_previous = setfsuid(Nobody);
    }
}

Unprivileged::~Unprivileged() {
    if (m_previous >= 0) {
        setfsuid(m_previous);
        setfsgid(getegid());
    }
}
