#include "store_error.h"

#include <QLocale>

StoreError::StoreError(QString fileName, QString reason)
    : std::runtime_error(reason.toStdString())
    , m_fileName(std::move(fileName))
    , m_reason(std::move(reason)) {}

QString groupedNumber(qint64 number) {
    return QLocale(QLocale::English).toString(number);
}
