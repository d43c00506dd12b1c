// Any bytes are a stored tag, and edits of it a typed name: bytes must come back from their
// text unchanged, a name must be stored as glibc's own code page has it, and the matches on raw
// tag bytes must answer as comparing the texts does.
#include "tag_match.h"
#include "windows1252.h"

#include <QList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The five bytes glibc leaves undefined stand for the C1 controls of their value.
bool inCodePage(char32_t c) {
    static const iconv_t codePage = iconv_open("CP1252", "UTF-32LE");
    char byte = 0, *in = reinterpret_cast<char*>(&c), *out = &byte;
    std::size_t inLeft = sizeof c, outLeft = 1;
    iconv(codePage, nullptr, nullptr, nullptr, nullptr);
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D ||
           iconv(codePage, &in, &inLeft, &out, &outLeft) != std::size_t(-1);
}

// Each character the user sees, its accents composed, is kept if the code page has it all, and
// is otherwise one '?'.
QString stored(const QString& name) {
    QString kept;
    QTextBoundaryFinder seen(QTextBoundaryFinder::Grapheme, name);
    for (qsizetype start = 0, stop = seen.toNextBoundary(); stop != -1;
         start = stop, stop = seen.toNextBoundary()) {
        const QString character =
            name.sliced(start, stop - start).normalized(QString::NormalizationForm_C);
        const QList<uint> codes = character.toUcs4();
        kept +=
            std::all_of(codes.begin(), codes.end(), inCodePage) ? character : QStringLiteral("?");
    }
    return kept;
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

// Typed characters that no byte decodes to: U+0080 and U+009F beside the code page's € and Ÿ,
// accents that compose into its letters or into none, a capital sharp s, a dotless i, an emoji's
// halves, a joiner.
constexpr char16_t Typed[16] = {0x0080, 0x009F, 0x0300, 0x0301, 0x0303, 0x0308, 0x030A, 0x0327,
                                0x0328, 0x0331, 0x1E9E, 0x0131, 0xD83D, 0xDE00, 0x200D, 0x00A0};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    check(Windows1252::encode(Windows1252::decode(bytes)) == bytes, "bytes come back unchanged");

    const QByteArray tag = bytes.first(qMin<qsizetype>(60, size)).toByteArray().leftJustified(60);
    const QString shown = Windows1252::decode(tag);
    // Each pair of bytes after the tag edits the name: it takes out a character, or puts in one
    // of the code page's or one that it has not.
    QString name = shown;
    for (std::size_t i = 60; i + 1 < size; i += 2) {
        const qsizetype at = data[i] % (name.size() + 1);
        if ((data[i] & 0xC0) == 0x40) {
            name.remove(at, 1);
            continue;
        }
        const unsigned char c = data[i + 1];
        name.insert(at, c < 0xF0 ? Windows1252::decode(char(c)) : QChar(Typed[c - 0xF0]));
        if (data[i] & 0x80)
            name.remove(at + 1, 1);
    }
    const QString expected = stored(name);
    check(Windows1252::storable(name) == expected, "a name is stored as the code page has it");
    check(ExactTagMatch(name)(tag) == (name == shown), "the exact match is equality");
    check(LooseTagMatch(name)(tag) == (upperTrimmed(expected) == upperTrimmed(shown)),
          "the loose match is equality of the trimmed upper case, as stored");
    return 0;
}
