#pragma once

#include <QString>

#include <stdexcept>

// A file operation that failed. Commands stop on it with every file closed, and the user is
// told which file and why; the program goes on running.
class StoreError : public std::runtime_error {
public:
    StoreError(QString fileName, QString reason);

    const QString& fileName() const { return m_fileName; }
    const QString& reason() const { return m_reason; }
    QString message() const; // for the user
    // For the user, when the command's change was written and only reading the file back failed.
    QString messageAfterChange() const;

private:
    QString m_fileName;
    QString m_reason;
};
