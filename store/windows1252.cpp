#include "windows1252.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>

namespace {

// 0x80..0x9F; the five bytes the code page leaves undefined map to the C1 control of the same
// value, as Windows itself does, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Below the first combining mark, no character joins its neighbour into one the user sees.
bool standsAlone(QChar c) {
    return c.unicode() < 0x300;
}

} // namespace

namespace Windows1252 {

QString decode(QByteArrayView bytes) {
    // Latin-1 agrees with the code page on all but 0x80..0x9F, so take Qt's fast path and mend
    // those few characters afterwards.
    QString text = QString::fromLatin1(bytes);
    const auto isHighControl = [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xE0) == 0x80;
    };
    if (std::none_of(bytes.begin(), bytes.end(), isHighControl))
        return text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (isHighControl(bytes[i]))
            text[i] = decode(bytes[i]);
    }
    return text;
}

QChar decode(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    return (code & 0xE0) == 0x80 ? QChar(HighControls[code - 0x80]) : QChar(code);
}

QByteArray encode(QStringView text, qsizetype limit) {
    if (limit < 0 || limit > text.size())
        limit = text.size(); // never more bytes than units
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    const char* const end = out + limit;
    const auto encodeEach = [&out](QStringView chars) {
        for (const QChar c : chars)
            *out++ = encodeChar(c.unicode());
    };
    if (std::all_of(text.begin(), text.end(), standsAlone)) {
        encodeEach(text.first(limit));
        bytes.truncate(limit);
        return bytes;
    }
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype stop = characters.toNextBoundary(); stop != -1 && out < end;
         start = stop, stop = characters.toNextBoundary()) {
        const QStringView seen = text.sliced(start, stop - start);
        if (std::all_of(seen.begin(), seen.end(), standsAlone)) {
            encodeEach(seen); // a line break is two characters
            continue;
        }
        // A letter and its accent typed apart are the code page's one accented letter.
        const QString composed = seen.toString().normalized(QString::NormalizationForm_C);
        *out++ = composed.size() == 1 ? encodeChar(composed.front().unicode()) : '?';
    }
    bytes.truncate(std::min<const char*>(out, end) - bytes.data());
    return bytes;
}

QString storable(QStringView text) {
    return decode(encode(text));
}

} // namespace Windows1252
