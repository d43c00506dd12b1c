#pragma once

#include <QByteArray>
#include <QString>

// The item file stores one byte per character in Windows-1252. Every byte decodes to a
// character and back to the same byte; a character outside the code page is stored as one '?',
// one for each character the user sees, whatever number of code points it is made of.
namespace Windows1252 {

QString decode(QByteArrayView bytes);
QChar decode(char byte);
// At most `limit` bytes: the characters that fit, counted as stored.
QByteArray encode(QStringView text, qsizetype limit = -1);
// The text as it reads back once stored.
QString storable(QStringView text);

} // namespace Windows1252
