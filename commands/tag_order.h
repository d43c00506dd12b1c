#pragma once

#include <QByteArray>

#include <memory>
#include <vector>

// Sorts tags into the list's order (see tagOrder) while they are read, keeping a short start of
// each one's collation key in one buffer.
class TagSorter {
public:
    explicit TagSorter(qsizetype expected = 0);
    ~TagSorter();
    TagSorter(const TagSorter&) = delete;
    TagSorter& operator=(const TagSorter&) = delete;

    // The next tag in record order: NoteRecord::TagLength bytes.
    void add(QByteArrayView tag);
    // `tags` holds every added tag, in the order added.
    std::vector<quint32> order(QByteArrayView tags);

private:
    struct Entry;
    class Collation;
    std::unique_ptr<Collation> m_collation;
    std::vector<Entry> m_entries;
};

// The order in which the list shows tags: alphabetical by the user's locale, letter case
// ignored; equal tags keep the order they came in. `tags` holds NoteRecord::TagLength bytes per
// tag, as stored; the result counts tags from 0, in display order.
std::vector<quint32> tagOrder(QByteArrayView tags);
