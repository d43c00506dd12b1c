#include "store/record_scan.h"

#include "store/record_file.h"

#include <cmath>

namespace {
// Whole records in about 1 MiB: large enough that a scan runs at the speed of reading the file.
constexpr qint64 BlockRecords = (1 << 20) / NoteRecord::Size;
} // namespace

RecordScan::RecordScan(RecordFile& file)
    : m_file(file)
    , m_count(static_cast<qint64>(std::floor(file.recordCount()))) {}

bool RecordScan::next() {
    if (number() >= m_count)
        return false;
    if (m_index + 1 < m_blockRecords) {
        ++m_index;
        return true;
    }
    const qint64 first = m_blockFirst + m_blockRecords;
    const qint64 records = std::min(BlockRecords, m_count - first + 1);
    if (m_block.size() < records * NoteRecord::Size)
        m_block.resize(records * NoteRecord::Size);
    m_file.readRecords(first, records, m_block.data());
    m_blockFirst = first;
    m_blockRecords = records;
    m_index = 0;
    return true;
}

void RecordScan::loadInto(NoteRecord& buffer) const {
    if (m_index >= 0)
        buffer = NoteRecord::fromBytes(record());
}
