#pragma once

#include <QByteArray>
#include <QList>

#include <vector>

// The order in which the list shows tags: alphabetical by the user's locale, letter case
// ignored; equal tags keep the order they came in. It keeps its working memory (40 bytes a tag)
// from one sort to the next, since touching fresh memory on every rebuild of a long list costs
// more than the sort's comparisons.
class TagOrder {
public:
    // Below minimumTagsPerThread tags a share, the keys are not worth another thread.
    explicit TagOrder(quint32 minimumTagsPerThread = 20000);
    ~TagOrder();
    TagOrder(const TagOrder&) = delete;
    TagOrder& operator=(const TagOrder&) = delete;

    // `tags` holds NoteRecord::TagLength bytes per tag, as stored; `order` is filled with the
    // tags counted from 0, in display order, reusing its memory.
    void sort(QByteArrayView tags, QList<quint32>& order);

    struct Entry; // one tag's place in the sort

private:
    quint32 m_minimumTagsPerThread;
    std::vector<Entry> m_entries;
};
