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

// A fixed-length start of each collation key, so that a million keys fit in one small buffer.
// Most comparisons end within it; the rest compare the two tags in full.
constexpr int PrefixLength = 27;

// Compares tags as QCollator's sort keys of the case-folded tags compare (folding first is needed
// because in the C locale the keys would otherwise still tell capitals apart). The keys come
// from ICU, as QCollator's do, because only ICU hands out their bytes, and only bytes can be kept
// for a million tags without a heap block each.
class TagCollation {
public:
    TagCollation()
        : m_locale(QLocale().collation()) {
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            m_folded[byte] = Windows1252::decode(QByteArrayView(&c, 1)).toCaseFolded();
            m_foldedUtf8[byte] = m_folded[byte].toUtf8();
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

    // The first PrefixLength bytes of the key, zero-filled after its end; true when the key goes
    // on beyond them.
    bool prefix(QByteArrayView tag, unsigned char* out) const {
        std::memset(out, 0, PrefixLength);
        if (m_noCollator)
            return false;
        if (!m_collator)
            return utf8KeyPrefix(tag, out);
        const Folded text = folded(tag);
        const auto* source = reinterpret_cast<const UChar*>(text.constData());
        QVarLengthArray<uint8_t, 512> key(512);
        int32_t size = ucol_getSortKey(m_collator.get(), source, int32_t(text.size()), key.data(),
                                       int32_t(key.size()));
        if (size > key.size()) {
            key.resize(size);
            size =
                ucol_getSortKey(m_collator.get(), source, int32_t(text.size()), key.data(), size);
        }
        const int length = std::max(0, size - 1); // without its terminating zero
        std::memcpy(out, key.data(), std::min(length, PrefixLength));
        return length > PrefixLength;
    }

    // Negative, zero or positive as the whole keys compare.
    int compare(QByteArrayView a, QByteArrayView b) const {
        if (m_noCollator || a == b)
            return 0;
        if (!m_collator) {
            const QByteArray keyX = utf8Key(a);
            const QByteArray keyY = utf8Key(b);
            return keyX < keyY ? -1 : keyY < keyX ? 1 : 0;
        }
        const Folded x = folded(a);
        const Folded y = folded(b);
        // Orders as the sort keys do.
        return ucol_strcoll(m_collator.get(), reinterpret_cast<const UChar*>(x.constData()),
                            int32_t(x.size()), reinterpret_cast<const UChar*>(y.constData()),
                            int32_t(y.size()));
    }

private:
    using Folded = QVarLengthArray<QChar, 2 * NoteRecord::TagLength>;

    Folded folded(QByteArrayView tag) const {
        Folded text;
        for (const char byte : tag) {
            const QString& character = m_folded[static_cast<unsigned char>(byte)];
            text.append(character.constData(), character.size());
        }
        return text;
    }

    // QCollator's key in the C locale is the text in UTF-8; comparing it stops at a zero byte.
    QByteArray utf8Key(QByteArrayView tag) const {
        QByteArray key;
        for (const char byte : tag) {
            if (byte == 0)
                break;
            key += m_foldedUtf8[static_cast<unsigned char>(byte)];
        }
        return key;
    }

    bool utf8KeyPrefix(QByteArrayView tag, unsigned char* out) const {
        int length = 0;
        for (const char byte : tag) {
            if (byte == 0)
                return false;
            for (const char keyByte : m_foldedUtf8[static_cast<unsigned char>(byte)]) {
                if (length == PrefixLength)
                    return true;
                out[length++] = static_cast<unsigned char>(keyByte);
            }
        }
        return false;
    }

    struct CloseCollator {
        void operator()(UCollator* collator) const { ucol_close(collator); }
    };

    QLocale m_locale;
    std::unique_ptr<UCollator, CloseCollator> m_collator;
    bool m_noCollator = false;
    std::array<QString, 256> m_folded; // each byte's character, case-folded
    std::array<QByteArray, 256> m_foldedUtf8;
};

struct Entry {
    std::array<unsigned char, PrefixLength> prefix;
    bool longer; // the key goes on after the prefix
    quint32 tag;
};

} // namespace

std::vector<quint32> tagOrder(QByteArrayView tags) {
    const qsizetype count = tags.size() / NoteRecord::TagLength;
    const auto tagAt = [&](quint32 tag) {
        return tags.sliced(qsizetype(tag) * NoteRecord::TagLength, NoteRecord::TagLength);
    };
    const TagCollation collation;
    std::vector<Entry> entries(count);
    for (qsizetype i = 0; i < count; ++i) {
        Entry& entry = entries[i];
        entry.tag = quint32(i);
        entry.longer = collation.prefix(tagAt(entry.tag), entry.prefix.data());
    }
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        if (const int order = std::memcmp(x.prefix.data(), y.prefix.data(), PrefixLength))
            return order < 0;
        if (x.longer || y.longer) {
            if (const int order = collation.compare(tagAt(x.tag), tagAt(y.tag)))
                return order < 0;
        }
        return x.tag < y.tag; // equal keys keep their record order
    });
    std::vector<quint32> order(count);
    for (qsizetype i = 0; i < count; ++i)
        order[i] = entries[i].tag;
    return order;
}
