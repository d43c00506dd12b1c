#pragma once

#include <QString>

#include <chrono>

// Keeps other copies of the program off the item file while a command works on it: any number
// of readers, or one writer. The lock sits on the file itself, so it leaves nothing behind and
// goes with a copy that is killed; once held, it is checked to be on the file the name names,
// because a deletion puts a new file in the old one's place. A name that is not an ordinary
// file (a folder, a pipe, a device) is refused. Every failure throws StoreError; the lock is
// released by the destructor.
class ItemFileLock {
public:
    enum Mode { Shared, Exclusive };

    // Creates the file empty when it is missing, as opening a record file does.
    ItemFileLock(const QString& fileName, Mode mode);
    ~ItemFileLock();
    ItemFileLock(const ItemFileLock&) = delete;
    ItemFileLock& operator=(const ItemFileLock&) = delete;

    // How long a command waits for another copy before it gives up.
    static inline std::chrono::milliseconds waitLimit{5000};

    // Lets the others in before a command goes on to its message box.
    void release();

private:
    bool tryOnce(Mode mode);
    [[noreturn]] void fail(const QString& reason);

    QString m_fileName;
    qintptr m_handle = -1;
};
