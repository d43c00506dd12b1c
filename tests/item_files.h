#pragma once

#include <QByteArray>
#include <QString>

// Item files built and read byte by byte, independently of the store code under test.
namespace ItemFiles {

// One 2062-byte record; tag and body are Latin-1 text, padded with blanks.
QByteArray record(const QByteArray& tag, const QByteArray& body = {}, quint16 reserved = 0);

void write(const QString& path, const QByteArray& bytes);
QByteArray read(const QString& path);

} // namespace ItemFiles
