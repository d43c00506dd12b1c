// Any bytes are a stored tag, and edits of it a typed name: bytes must come back from their
// text unchanged, and the matches on raw tag bytes must answer as comparing the texts does.
#include "tag_match.h"
#include "windows1252.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

QString upperTrimmed(const QString& text) {
    QString upper = text;
    while (upper.startsWith(u' '))
        upper.remove(0, 1);
    while (upper.endsWith(u' '))
        upper.chop(1);
    for (QChar& c : upper)
        c = c.toUpper();
    return upper;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    check(Windows1252::encode(Windows1252::decode(bytes)) == bytes, "bytes come back unchanged");

    const QByteArray tag = bytes.first(qMin<qsizetype>(60, size)).toByteArray().leftJustified(60);
    const QString shown = Windows1252::decode(tag);
    // Each pair of bytes after the tag edits the name: it takes out a character, or puts in one
    // of the code page's, or a surrogate or accent that the code page has not.
    QString name = shown;
    for (std::size_t i = 60; i + 1 < size; i += 2) {
        const qsizetype at = data[i] % (name.size() + 1);
        if ((data[i] & 0xC0) == 0x40) {
            name.remove(at, 1);
            continue;
        }
        const QChar c = data[i + 1] < 0xF8 ? Windows1252::decode(char(data[i + 1]))
                                           : QChar(data[i + 1] & 1 ? 0xD83D : 0x0301);
        name.insert(at, c);
        if (data[i] & 0x80)
            name.remove(at + 1, 1);
    }
    const QString stored = Windows1252::storable(name);
    check(Windows1252::storable(stored) == stored, "stored text stores unchanged");
    check(ExactTagMatch(name)(tag) == (name == shown), "the exact match is equality");
    check(LooseTagMatch(name)(tag) == (upperTrimmed(stored) == upperTrimmed(shown)),
          "the loose match is equality of the trimmed upper case, as stored");
    return 0;
}
