#include "commands/tag_order.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <vector>

void sortTags(QStringList& tags) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Sort keys make a large list cheap to sort. Folding the case first is needed because in
    // the C locale the keys would otherwise still tell capitals apart.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(tags.size());
    for (const QString& tag : std::as_const(tags))
        keys.push_back(collator.sortKey(tag.toCaseFolded()));
    std::vector<qsizetype> order(tags.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    QStringList sorted;
    sorted.reserve(tags.size());
    for (const qsizetype i : order)
        sorted.append(tags.at(i));
    tags = std::move(sorted);
}
