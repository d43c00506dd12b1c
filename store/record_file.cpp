#include "record_file.h"

#include "disk_sync.h"
#include "store_error.h"

#include <cmath>

RecordFile::RecordFile(const QString& fileName, Access access)
    : m_file(fileName) {
    if (access == ReadOnly) {
        m_writeError = QStringLiteral("The file was opened for reading only.");
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            fail(m_file.errorString());
    } else if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        // A read-only item file still lists and shows its items.
        m_writeError = m_file.errorString();
        if (!m_file.exists() || !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            fail(m_writeError);
    }
    m_recordCount = double(m_file.size()) / NoteRecord::Size;
    if (m_recordCount >= MaxRecords + 1)
        fail(QStringLiteral("The file holds %1 items, more than the %2 that Cardisto can work on, "
                            "so it was left as it is.")
                 .arg(groupedNumber(qint64(m_recordCount)), groupedNumber(MaxRecords)));
}

void RecordFile::readBytes(qint64 offset, qint64 count, char* into) {
    if (!m_file.seek(offset))
        fail(m_file.errorString());
    qint64 got = 0;
    while (got < count) {
        const qint64 step = m_file.read(into + got, count - got);
        if (step < 0)
            fail(m_file.errorString());
        if (step == 0)
            fail(QStringLiteral("Record %1 ends early; the file was shortened while in use.")
                     .arg(groupedNumber((offset + got) / NoteRecord::Size + 1)));
        got += step;
    }
}

void RecordFile::write(qint64 n, const NoteRecord& buffer,
                       std::optional<QByteArrayView> overwritten) {
    if (!isWritable())
        fail(m_writeError);
    const qint64 oldSize = m_file.size();
    const qint64 offset = (n - 1) * NoteRecord::Size;
    // What the write overwrites, to put back should it stop halfway.
    QByteArray previous;
    if (overwritten)
        previous = overwritten->toByteArray();
    else if (offset < oldSize && m_file.seek(offset))
        previous = m_file.read(NoteRecord::Size);
    const QByteArray bytes = buffer.toBytes();
    qint64 written = 0;
    QString reason;
    if (m_file.seek(offset) && writeWhole(m_file, bytes, written)) {
        const auto failure = syncToDisk(m_file);
        if (!failure)
            return;
        reason = *failure;
    } else {
        reason = m_file.errorString();
    }
    qint64 restored = 0;
    if (written > 0 && m_file.seek(offset))
        writeWhole(m_file, QByteArrayView(previous).first(qMin(written, previous.size())),
                   restored);
    if (offset + NoteRecord::Size > oldSize)
        m_file.resize(oldSize);
    fail(reason);
}

qint64 RecordFile::roundedRecordNumber(double value) {
    return static_cast<qint64>(std::nearbyint(value)); // default rounding mode: halves to even
}

void RecordFile::fail(const QString& reason) const {
    throw StoreError(m_file.fileName(), reason);
}
