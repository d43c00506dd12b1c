#pragma once

#include <QByteArray>
#include <QString>

// The item file stores one byte per character in Windows-1252. Every byte decodes to a
// character and back to the same byte; a character outside the code page is stored as '?'.
namespace Windows1252 {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);

} // namespace Windows1252
