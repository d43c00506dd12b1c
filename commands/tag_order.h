#pragma once

#include <QByteArray>

#include <memory>
#include <vector>

// Sorts tags into the list's order (see tagOrder) while they are read, keeping a short start of
// each one's collation key in one buffer. That buffer outlives the sorter, for the next one in
// the same thread: on a million tags its 40 MB would otherwise be faulted in afresh by every
// rebuild of the list.
class TagSorter {
public:
    explicit TagSorter(qsizetype expected = 0);
    ~TagSorter();
    TagSorter(const TagSorter&) = delete;
    TagSorter& operator=(const TagSorter&) = delete;

    // The next tag in record order: NoteRecord::TagLength bytes.
    void add(QByteArrayView tag);
    // `tags` holds every added tag, in the order added. Fills `order`, reusing its memory.
    void order(QByteArrayView tags, std::vector<quint32>& order);

private:
    struct Entry;
    class Collation;
    std::unique_ptr<Collation> m_collation;
    std::vector<Entry> m_entries;
    static std::vector<Entry>& keptEntries(); // between sorters
};

// The order in which the list shows tags: alphabetical by the user's locale, letter case
// ignored; equal tags keep the order they came in. `tags` holds NoteRecord::TagLength bytes per
// tag, as stored; the result counts tags from 0, in display order.
std::vector<quint32> tagOrder(QByteArrayView tags);
