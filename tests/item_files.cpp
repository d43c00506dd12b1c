#include "item_files.h"

#include <QFile>
#include <QTest>

namespace ItemFiles {

QByteArray record(const QByteArray& tag, const QByteArray& body, quint16 reserved) {
    Q_ASSERT(tag.size() <= 60 && body.size() <= 2000);
    QByteArray bytes = tag.leftJustified(60, ' ');
    bytes.append(char(reserved & 0xFF));
    bytes.append(char(reserved >> 8));
    bytes.append(body.leftJustified(2000, ' '));
    return bytes;
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

} // namespace ItemFiles
