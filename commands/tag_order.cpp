#include "commands/tag_order.h"

#include "store/note_record.h"
#include "store/windows1252.h"

#include <QLocale>
#include <QVarLengthArray>

#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

// The collation key of a tag, as QCollator would give it for the case-folded tag (folding first
// is needed because in the C locale the keys would otherwise still tell capitals apart). The
// keys come from ICU, as QCollator's do, because only ICU hands out their bytes, and only bytes
// can be kept for a million tags without a heap block each.
class CollationKeys {
public:
    CollationKeys()
        : m_locale(QLocale().collation()) {
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            m_folded[byte] = Windows1252::decode(QByteArrayView(&c, 1)).toCaseFolded();
        }
        if (m_locale.language() == QLocale::C)
            return;
        UErrorCode status = U_ZERO_ERROR;
        m_collator.reset(ucol_open(m_locale.bcp47Name().replace('-', '_').toLatin1(), &status));
        if (U_FAILURE(status)) {
            m_collator.reset();
            m_noCollator = true; // every key empty: the tags keep their record order
            return;
        }
        ucol_setAttribute(m_collator.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(m_collator.get(), UCOL_STRENGTH, UCOL_SECONDARY, &status);
        ucol_setAttribute(m_collator.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(m_collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    }

    // The key's bytes up to, not including, its first zero byte, where comparing stops.
    void key(QByteArrayView tag, QByteArray& out) const {
        QVarLengthArray<QChar, 2 * NoteRecord::TagLength> folded;
        for (const char byte : tag) {
            const QString& character = m_folded[static_cast<unsigned char>(byte)];
            folded.append(character.constData(), character.size());
        }
        if (m_noCollator) {
            out.resize(0);
        } else if (!m_collator) {
            out = QStringView(folded.constData(), folded.size()).toUtf8();
        } else {
            const auto* text = reinterpret_cast<const UChar*>(folded.constData());
            const auto length = int32_t(folded.size());
            if (out.size() < 4 * folded.size() + 16)
                out.resize(4 * folded.size() + 16);
            int32_t size =
                ucol_getSortKey(m_collator.get(), text, length,
                                reinterpret_cast<uint8_t*>(out.data()), int32_t(out.size()));
            if (size > out.size()) {
                out.resize(size);
                size = ucol_getSortKey(m_collator.get(), text, length,
                                       reinterpret_cast<uint8_t*>(out.data()), size);
            }
            out.resize(size);
        }
        const qsizetype zero = out.indexOf('\0');
        if (zero >= 0)
            out.truncate(zero);
    }

private:
    struct CloseCollator {
        void operator()(UCollator* collator) const { ucol_close(collator); }
    };

    QLocale m_locale;
    std::unique_ptr<UCollator, CloseCollator> m_collator;
    bool m_noCollator = false;
    std::array<QString, 256> m_folded; // each byte's character, case-folded
};

// A fixed-length start of each key, so that a million keys fit in one small buffer. Most
// comparisons end within it; the rest compute both whole keys again.
constexpr int PrefixLength = 27;

struct Entry {
    std::array<unsigned char, PrefixLength> prefix; // zero-filled after the key's end
    bool longer;                                    // the key goes on after the prefix
    quint32 tag;
};

} // namespace

std::vector<quint32> tagOrder(QByteArrayView tags) {
    const qsizetype count = tags.size() / NoteRecord::TagLength;
    const auto tagAt = [&](quint32 tag) {
        return tags.sliced(qsizetype(tag) * NoteRecord::TagLength, NoteRecord::TagLength);
    };
    const CollationKeys keys;
    std::vector<Entry> entries(count);
    QByteArray key;
    for (qsizetype i = 0; i < count; ++i) {
        Entry& entry = entries[i];
        entry.tag = quint32(i);
        keys.key(tagAt(entry.tag), key);
        const qsizetype kept = std::min<qsizetype>(key.size(), PrefixLength);
        entry.prefix.fill(0);
        std::memcpy(entry.prefix.data(), key.constData(), kept);
        entry.longer = key.size() > PrefixLength;
    }
    QByteArray a;
    QByteArray b;
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        if (const int order = std::memcmp(x.prefix.data(), y.prefix.data(), PrefixLength))
            return order < 0;
        if (x.longer || y.longer) {
            keys.key(tagAt(x.tag), a);
            keys.key(tagAt(y.tag), b);
            if (a != b)
                return a < b;
        }
        return x.tag < y.tag; // equal keys keep their record order
    });
    std::vector<quint32> order(count);
    for (qsizetype i = 0; i < count; ++i)
        order[i] = entries[i].tag;
    return order;
}
