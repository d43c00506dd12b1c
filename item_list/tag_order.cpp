#include "tag_order.h"

#include "large_buffer.h"
#include "note_record.h"
#include "windows1252.h"

#include <QLocale>
#include <QVarLengthArray>
#include <QtEndian>

#include <unicode/ucol.h>
#include <unicode/uiter.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

namespace {

// A fixed-length start of each collation key, so that a million keys fit in one small buffer.
// Most comparisons end within it; the rest compare the two tags in full.
constexpr int PrefixWords = 4;
constexpr int PrefixLength = PrefixWords * 8;

// Compares tags as QCollator's sort keys of the case-folded tags compare (folding first is needed
// because in the C locale the keys would otherwise still tell capitals apart). The keys come
// from ICU, as QCollator's do, because only ICU hands out their bytes, and only bytes can be kept
// for a million tags without a heap block each.
class TagCollation {
public:
    TagCollation()
        : m_locale(QLocale().collation()) {
        for (int byte = 0; byte < 256; ++byte) {
            m_folded[byte] = QString(Windows1252::decode(char(byte))).toCaseFolded();
            const QByteArray utf8 = m_folded[byte].toUtf8();
            Q_ASSERT(utf8.size() <= qsizetype(sizeof(Utf8::bytes)));
            m_foldedUtf8[byte].size = quint8(utf8.size());
            std::memcpy(m_foldedUtf8[byte].bytes, utf8.constData(), utf8.size());
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

    // Where a key goes on after its prefix. Keys that end within it, or go on with blanks only,
    // compare by their prefixes and then their lengths.
    struct Rest {
        bool more = false; // anything else
        int length = 0;    // of the whole key
    };

    // The first PrefixLength bytes of the key, zero-filled after its end.
    Rest prefix(QByteArrayView tag, unsigned char* out) const {
        std::memset(out, 0, PrefixLength);
        if (m_noCollator)
            return {};
        if (!m_collator)
            return utf8KeyPrefix(tag, out);
        const Folded text = folded(tag);
        const auto* source = reinterpret_cast<const UChar*>(text.constData());
        // Only the key's start is built: a whole key, with its weights for every blank of the
        // tag on three levels, would cost several times more, and ties are compared in full.
        UCharIterator characters;
        uiter_setString(&characters, source, int32_t(text.size()));
        uint32_t state[2] = {};
        UErrorCode status = U_ZERO_ERROR;
        uint8_t key[PrefixLength + 1];
        const int32_t size = ucol_nextSortKeyPart(m_collator.get(), &characters, state, key,
                                                  PrefixLength + 1, &status);
        if (U_FAILURE(status))
            return {true, 0}; // compared in full
        std::memcpy(out, key, std::min<std::size_t>(std::size_t(size), PrefixLength));
        return {size > PrefixLength, size};
    }

    // Negative, zero or positive as the whole keys compare.
    int compare(QByteArrayView a, QByteArrayView b) const {
        if (m_noCollator || a == b)
            return 0;
        if (!m_collator)
            return compareFoldedCodes(a, b);
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

    // QCollator's key in the C locale is the text in UTF-8, compared up to a zero byte. Every
    // folded character lies outside the surrogates, so the UTF-8 bytes compare as the UTF-16
    // codes do, and no key need be built.
    int compareFoldedCodes(QByteArrayView a, QByteArrayView b) const {
        Codes x{a, m_folded, 0, {}};
        Codes y{b, m_folded, 0, {}};
        for (;;) {
            const char16_t cx = x.next();
            const char16_t cy = y.next();
            if (cx != cy)
                return cx < cy ? -1 : 1;
            if (cx == 0)
                return 0;
        }
    }

    // The folded codes of a tag one by one, 0 at its end or at its first zero code.
    struct Codes {
        QByteArrayView tag;
        const std::array<QString, 256>& folded;
        qsizetype byte = 0;
        QStringView pending;

        char16_t next() {
            while (pending.isEmpty()) {
                if (byte == tag.size())
                    return 0;
                pending = folded[static_cast<unsigned char>(tag[byte++])];
            }
            const char16_t code = pending.front().unicode();
            pending = pending.sliced(1);
            return code;
        }
    };

    // Tags end in blanks, so the blanks after the prefix are only counted.
    Rest utf8KeyPrefix(QByteArrayView tag, unsigned char* out) const {
        Rest rest;
        for (const char byte : tag) {
            if (byte == 0)
                break;
            const Utf8& character = m_foldedUtf8[static_cast<unsigned char>(byte)];
            for (int i = 0; i < character.size; ++i) {
                if (rest.length < PrefixLength)
                    out[rest.length] = character.bytes[i];
                else if (character.bytes[i] != ' ')
                    rest.more = true;
                ++rest.length;
            }
        }
        return rest;
    }

    struct CloseCollator {
        void operator()(UCollator* collator) const { ucol_close(collator); }
    };

    QLocale m_locale;
    std::unique_ptr<UCollator, CloseCollator> m_collator;
    bool m_noCollator = false;
    std::array<QString, 256> m_folded; // each byte's character, case-folded
    struct Utf8 {
        quint8 size = 0;
        unsigned char bytes[7] = {};
    };
    std::array<Utf8, 256> m_foldedUtf8;
};

} // namespace

struct TagOrder::Entry {
    Entry() {} // left unfilled: every entry is written before it is read
    // The prefix in big-endian words, which compare as its bytes do.
    std::array<quint64, PrefixWords> prefix;
    quint32 tag;
    bool more;        // the key goes on after the prefix with other than blanks
    quint8 keyLength; // the whole key's, at most 255
};

namespace {

using Entry = TagOrder::Entry;

void fillEntries(const TagCollation& collation, QByteArrayView tags, Entry* entries, quint32 first,
                 quint32 end) {
    for (quint32 tag = first; tag < end; ++tag) {
        Entry& entry = entries[tag];
        entry.tag = tag;
        unsigned char prefix[PrefixLength];
        const TagCollation::Rest rest = collation.prefix(
            tags.sliced(qsizetype(tag) * NoteRecord::TagLength, NoteRecord::TagLength), prefix);
        // A key too long to count is compared in full.
        entry.more = rest.more || rest.length > 255;
        entry.keyLength = quint8(std::min(rest.length, 255));
        for (int word = 0; word < PrefixWords; ++word)
            entry.prefix[word] = qFromBigEndian<quint64>(prefix + 8 * word);
    }
}

// The tags' order; `collation` must be used by one thread at a time.
auto entryLess(const TagCollation& collation, QByteArrayView tags) {
    return [&collation, tags](const Entry& x, const Entry& y) {
        if (x.prefix != y.prefix)
            return x.prefix < y.prefix;
        if (x.more || y.more) {
            const auto tagAt = [&](quint32 tag) {
                return tags.sliced(qsizetype(tag) * NoteRecord::TagLength, NoteRecord::TagLength);
            };
            if (const int order = collation.compare(tagAt(x.tag), tagAt(y.tag)))
                return order < 0;
        } else if (x.keyLength != y.keyLength) {
            return x.keyLength < y.keyLength;
        }
        return x.tag < y.tag; // equal keys keep their record order
    };
}

// Runs job(first, end) over [0, count) cut into shares of `share`, each on a thread of its own
// but the first, which this thread takes; where no thread is to be had, this one does the share.
template <typename Job> void inShares(quint32 count, quint32 share, const Job& job) {
    std::vector<std::jthread> helpers;
    for (quint32 first = share; first < count; first += share) {
        const quint32 end = std::min(count, first + share);
        try {
            helpers.emplace_back(job, first, end);
        } catch (const std::system_error&) {
            job(first, end);
        }
    }
    job(0, std::min(count, share));
}

quint32 shareOf(quint32 count, quint32 shares) {
    return std::max(1u, (count + shares - 1) / shares);
}

} // namespace

TagOrder::TagOrder(quint32 minimumTagsPerThread)
    : m_minimumTagsPerThread(std::max(1u, minimumTagsPerThread)) {}

TagOrder::~TagOrder() = default;

void TagOrder::sort(QByteArrayView tags, QList<quint32>& order) {
    const auto count = quint32(tags.size() / NoteRecord::TagLength);
    prepareRefill(m_entries, count);
    m_entries.resize(count);
    const quint32 cores = std::clamp(count / m_minimumTagsPerThread, 1u,
                                     std::max(1u, std::thread::hardware_concurrency()));
    // Building the keys costs most; each core takes a share, with a collator of its own.
    inShares(count, shareOf(count, cores), [&](quint32 first, quint32 end) {
        const TagCollation own;
        fillEntries(own, tags, m_entries.data(), first, end);
    });
    // Two halves sorted side by side, then merged straight into the order.
    const quint32 half = shareOf(count, std::min(cores, 2u));
    inShares(count, half, [&](quint32 first, quint32 end) {
        const TagCollation own;
        std::sort(m_entries.begin() + first, m_entries.begin() + end, entryLess(own, tags));
    });
    const TagCollation collation;
    const auto less = entryLess(collation, tags);
    auto left = m_entries.begin();
    const auto middle = left + std::min(count, half);
    auto right = middle;
    order.resize(count);
    for (quint32& tag : order) {
        const bool fromRight = right != m_entries.end() && (left == middle || less(*right, *left));
        tag = (fromRight ? right++ : left++)->tag;
    }
}
