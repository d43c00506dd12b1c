// Any bytes are text in the item file: each byte must come back from its character unchanged,
// and any text, broken surrogates included, must store as one byte per character.
#include "store/windows1252.h"

#include <QList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = Windows1252::decode(bytes);
    check(text.size() == bytes.size(), "one character per byte");
    check(Windows1252::encode(text) == bytes, "bytes to text and back is the identity");

    // The same bytes read as UTF-16 units, copied since the input need not be aligned.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    const QByteArray encoded = Windows1252::encode(units);
    check(encoded.size() == units.toUcs4().size(), "one byte per character the user sees");
    const QString stored = Windows1252::decode(encoded);
    check(Windows1252::storable(stored) == stored, "stored text stores unchanged");
    return 0;
}
