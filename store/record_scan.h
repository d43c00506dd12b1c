#pragma once

#include "store/note_record.h"

#include <QByteArray>

class RecordFile;

// Walks the whole records of an open record file from the first on, reading about 1 MiB of
// whole records at a time, and hands out each record's raw bytes: a command decodes only what it
// needs. Read errors throw StoreError.
class RecordScan {
public:
    explicit RecordScan(RecordFile& file);

    // The whole records: the record count's whole part.
    qint64 count() const { return m_count; }
    // To the next record; false after the last, leaving the last one current.
    bool next();
    // The current record, numbered from 1.
    qint64 number() const { return m_blockFirst + m_index; }
    QByteArrayView record() const {
        return QByteArrayView(m_block).sliced(m_index * NoteRecord::Size, NoteRecord::Size);
    }
    QByteArrayView tag() const { return record().first(NoteRecord::TagLength); }
    // Puts the current record into the shared buffer, which then holds what a scan record by
    // record would have left in it. Does nothing before the first record.
    void loadInto(NoteRecord& buffer) const;

private:
    RecordFile& m_file;
    qint64 m_count = 0;
    QByteArray m_block;
    qint64 m_blockFirst = 1; // the number of the block's first record
    qint64 m_blockRecords = 0;
    qint64 m_index = -1; // of the current record within the block
};
