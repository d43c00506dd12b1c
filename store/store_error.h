#pragma once

#include <QString>

#include <stdexcept>

// A file operation that failed: which file, as the store names it, and why, in a sentence for
// the user. Commands stop on it with every file closed; the program goes on running.
class StoreError : public std::runtime_error {
public:
    StoreError(QString fileName, QString reason);

    const QString& fileName() const { return m_fileName; }
    const QString& reason() const { return m_reason; }

private:
    QString m_fileName;
    QString m_reason;
};

// A count as our messages write it: 10,000,000.
QString groupedNumber(qint64 number);
