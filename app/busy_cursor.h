#pragma once

#include <QApplication>

// The busy cursor while a procedure runs: a procedure runs to its end without taking an event,
// so on a large item file the window would otherwise look hung.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The normal cursor over a dialog that waits for the user in the middle of a procedure.
class NormalCursor {
public:
    NormalCursor()
        : m_overridden(QApplication::overrideCursor() != nullptr) {
        if (m_overridden)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor() {
        if (m_overridden)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool m_overridden;
};
