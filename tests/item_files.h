#pragma once

#include <QFile>
#include <QTest>

// Item files built and read byte by byte, independently of the store code under test.
namespace ItemFiles {

// One 2062-byte record; tag and body are Windows-1252 bytes, padded with blanks.
inline QByteArray record(const QByteArray& tag, const QByteArray& body = {}, quint16 reserved = 0) {
    Q_ASSERT(tag.size() <= 60 && body.size() <= 2000);
    return tag.leftJustified(60, ' ') + char(reserved & 0xFF) + char(reserved >> 8) +
           body.leftJustified(2000, ' ');
}

inline void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace ItemFiles
