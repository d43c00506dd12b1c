#include "store_error.h"

#include <QDir>

StoreError::StoreError(QString fileName, QString reason)
    : std::runtime_error(reason.toStdString())
    , m_fileName(std::move(fileName))
    , m_reason(std::move(reason)) {}

QString StoreError::message(bool changeWritten) const {
    return QStringLiteral("The file \"%1\" could not be used:\n%2\n\n%3")
        .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(m_fileName)), m_reason,
             changeWritten
                 ? QStringLiteral("The change was written to the file, but the list "
                                  "could not be refreshed: it still shows the items as "
                                  "they were before the change.")
                 : QStringLiteral("Nothing was changed by the command that stopped here."));
}
