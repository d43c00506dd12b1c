#include "note_record.h"

#include "windows1252.h"

#include <QtEndian>

#include <algorithm>

QString NoteRecord::fitted(const QString& text, int length) {
    // Cut by what is stored, so that a field always takes its exact number of bytes; the rest of
    // a long name is not looked at.
    return Windows1252::decode(Windows1252::encode(text, length)).leftJustified(length);
}

qsizetype NoteRecord::setBody(const QString& text) {
    const QByteArray stored = Windows1252::encode(text);
    Body = Windows1252::decode(
               QByteArrayView(stored).first(std::min<qsizetype>(stored.size(), BodyLength)))
               .leftJustified(BodyLength);
    return std::max<qsizetype>(0, stored.size() - BodyLength);
}

QByteArray NoteRecord::toBytes() const {
    QByteArray bytes;
    bytes.reserve(Size);
    bytes += Windows1252::encode(Tag);
    char reserved[2];
    qToLittleEndian(Reserved, reserved);
    bytes.append(reserved, 2);
    bytes += Windows1252::encode(Body);
    return bytes;
}

NoteRecord NoteRecord::fromBytes(QByteArrayView bytes) {
    Q_ASSERT(bytes.size() == Size);
    NoteRecord record;
    record.Tag = Windows1252::decode(bytes.first(TagLength));
    record.Reserved = qFromLittleEndian<qint16>(bytes.data() + TagLength);
    record.Body = Windows1252::decode(bytes.sliced(TagLength + 2));
    return record;
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
