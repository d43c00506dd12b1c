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

    // Creates the file empty when it is missing, as opening a record file does. Waits for
    // another copy at most `wait`.
    ItemFileLock(const QString& fileName, Mode mode, std::chrono::milliseconds wait);
    ~ItemFileLock();
    ItemFileLock(const ItemFileLock&) = delete;
    ItemFileLock& operator=(const ItemFileLock&) = delete;

private:
    void release();
    bool tryOnce(Mode mode);
    [[noreturn]] void fail(const QString& reason);

    QString m_fileName;
    qintptr m_handle = -1;
};
