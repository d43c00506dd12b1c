#pragma once

#include <QString>

#include <stdexcept>

// A file operation that failed. Commands stop on it with every file closed, and the user is
// told which file and why; the program goes on running.
class StoreError : public std::runtime_error {
public:
    StoreError(QString fileName, QString reason);

    // For the user: which file, and why. `folder`: the current one, as the program entered it.
    QString message(const QByteArray& folder = {}) const;

private:
    QString m_fileName;
    QString m_reason;
};

// A count as our messages write it: 10,000,000.
QString groupedNumber(qint64 number);
