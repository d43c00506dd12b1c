#pragma once

#include "note_record.h"

#include <QByteArray>

class RecordFile;

// Walks the whole records of an open record file from the first on, reading 1 MiB at a time at
// offsets that are whole MiB (a record cut by a block's end is put together again), and hands out
// each record's raw bytes: a command decodes only what it needs. Read errors throw StoreError.
class RecordScan {
public:
    explicit RecordScan(RecordFile& file);

    // The whole records: the record count's whole part.
    qint64 count() const { return m_count; }
    // To the next record; false after the last, leaving the last one current.
    bool next();
    // The current record, numbered from 1.
    qint64 number() const { return m_number; }
    QByteArrayView record() const { return {m_current, NoteRecord::Size}; }
    QByteArrayView tag() const { return record().first(NoteRecord::TagLength); }
    // Puts the current record into the shared buffer, which then holds what a scan record by
    // record would have left in it. Does nothing before the first record.
    void loadInto(NoteRecord& buffer) const;

private:
    RecordFile& m_file;
    qint64 m_count = 0;
    qint64 m_number = 0;
    qint64 m_nextOffset = 0; // in the file, of the next block
    QByteArray m_buffer;
    char* m_block = nullptr; // where a block lands, page-aligned, after room for one record
    const char* m_current = nullptr;
    const char* m_end = nullptr; // of the bytes read
};
