#pragma once

#include "note_record.h"

#include <QFile>

#include <QByteArray>

#include <optional>

// An open record file: zmr.lst or zmr.tmp. Opening never shortens an existing file and creates
// a missing one empty. Every failure throws StoreError; the destructor closes the file, so a
// command that stops on an error leaves nothing open.
class RecordFile {
public:
    // More items than the list can hold in memory (about 115 bytes each) or read in a sane time;
    // a larger file, such as a sparse one of a terabyte, is refused and left as it is.
    static constexpr qint64 MaxRecords = 10'000'000;

    enum Access { ReadOnly, ReadWrite };
    // The lock on the file has its own descriptor, read-only and non-blocking, made to find out
    // safely what the name stands for; the records go through this one.
    explicit RecordFile(const QString& fileName, Access access = ReadWrite);

    // The length in records as a real number: a trailing fragment shows as a fraction.
    double recordCount() const { return m_recordCount; }

    // `count` raw bytes from `offset` on, all of which lie within the file's whole records.
    void readBytes(qint64 offset, qint64 count, char* into);
    // Returns once the record is on the disk. A failed write leaves the file as it was, as far
    // as the system lets the old bytes be put back: `overwritten`, when the caller has just read
    // them, else they are read first.
    void write(qint64 n, const NoteRecord& buffer, std::optional<QByteArrayView> overwritten = {});

    // False when the file could only be opened for reading; write() then reports why.
    bool isWritable() const { return m_writeError.isEmpty(); }
    void close() { m_file.close(); }

    // A record number computed from recordCount(): nearest whole number, halves to even.
    static qint64 roundedRecordNumber(double value);

private:
    [[noreturn]] void fail(const QString& reason) const;

    // Unbuffered, so that a failed write can be undone at once; scans read in large blocks.
    QFile m_file;
    QString m_writeError;
    double m_recordCount = 0;
};
