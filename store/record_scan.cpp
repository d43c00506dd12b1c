#include "record_scan.h"

#include "record_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
// Reads of whole, aligned MiB run at the speed of the page cache; a read at an offset inside a
// page is measurably slower.
constexpr qint64 BlockBytes = 1 << 20;
constexpr qint64 PageBytes = 4096;
} // namespace

RecordScan::RecordScan(RecordFile& file)
    : m_file(file)
    , m_count(static_cast<qint64>(std::floor(file.recordCount()))) {}

bool RecordScan::next() {
    if (m_number >= m_count)
        return false;
    ++m_number;
    if (m_number > 1)
        m_current += NoteRecord::Size;
    if (m_end - m_current >= NoteRecord::Size)
        return true;
    if (m_buffer.isEmpty()) {
        m_buffer.resize(NoteRecord::Size + PageBytes + BlockBytes);
        const auto start = reinterpret_cast<std::uintptr_t>(m_buffer.data()) + NoteRecord::Size;
        m_block =
            m_buffer.data() + NoteRecord::Size + ((PageBytes - start % PageBytes) % PageBytes);
    }
    // The start of a record that the last block cut goes just before the new block.
    const qint64 carried = m_current ? m_end - m_current : 0;
    char* const begin = m_block - carried;
    if (carried > 0)
        std::memmove(begin, m_current, carried);
    const qint64 bytes = std::min(BlockBytes, m_count * NoteRecord::Size - m_nextOffset);
    m_file.readBytes(m_nextOffset, bytes, m_block);
    m_nextOffset += bytes;
    m_current = begin;
    m_end = m_block + bytes;
    return true;
}

void RecordScan::loadInto(NoteRecord& buffer) const {
    if (m_number > 0)
        buffer = NoteRecord::fromBytes(record());
}
