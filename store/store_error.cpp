#include "store_error.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

StoreError::StoreError(QString fileName, QString reason)
    : std::runtime_error(reason.toStdString())
    , m_fileName(std::move(fileName))
    , m_reason(std::move(reason)) {}

QString StoreError::message(const QByteArray& folder) const {
    // The current folder's own name may be gone, or too long to ask for.
    const QString path = folder.isEmpty()       ? QDir::current().absoluteFilePath(m_fileName)
                         : folder.endsWith('/') ? QFile::decodeName(folder) + m_fileName
                                                : QFile::decodeName(folder) + '/' + m_fileName;
    QString reason = m_reason;
#ifndef Q_OS_WIN
    struct stat here {};
    if (::stat(".", &here) == 0 && here.st_nlink == 0)
        reason += QStringLiteral("\nIts folder was removed while Cardisto was running.");
#endif
    return QStringLiteral("The file \"%1\" could not be used:\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString groupedNumber(qint64 number) {
    return QLocale(QLocale::English).toString(number);
}
