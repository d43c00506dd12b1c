#include "tag_match.h"

#include "note_record.h"
#include "windows1252.h"

#include <array>
#include <cstring>

namespace {

// Every byte decodes to one character; this is its upper case.
const std::array<char16_t, 256>& upperCaseOfByte() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> upper{};
        for (int byte = 0; byte < 256; ++byte)
            upper[byte] = Windows1252::decode(char(byte)).toUpper().unicode();
        return upper;
    }();
    return table;
}

} // namespace

ExactTagMatch::ExactTagMatch(const QString& text)
    : m_bytes(Windows1252::encode(text))
    , m_possible(text.size() == NoteRecord::TagLength && Windows1252::decode(m_bytes) == text) {}

bool ExactTagMatch::operator()(QByteArrayView tag) const {
    return m_possible && std::memcmp(tag.data(), m_bytes.constData(), NoteRecord::TagLength) == 0;
}

LooseTagMatch::LooseTagMatch(const QString& text)
    : m_upper(trimBlanks(Windows1252::storable(text))) {
    for (QChar& c : m_upper)
        c = c.toUpper();
}

bool LooseTagMatch::operator()(QByteArrayView tag) const {
    qsizetype begin = 0;
    while (begin < tag.size() && tag[begin] == ' ')
        ++begin;
    const qsizetype end = begin + m_upper.size();
    if (end > tag.size())
        return false;
    // Most tags differ in their first letters: compare before looking at the blanks after.
    const auto& upper = upperCaseOfByte();
    for (qsizetype i = begin; i < end; ++i) {
        if (upper[static_cast<unsigned char>(tag[i])] != m_upper.at(i - begin).unicode())
            return false;
    }
    for (qsizetype i = end; i < tag.size(); ++i) {
        if (tag[i] != ' ')
            return false;
    }
    return true;
}
