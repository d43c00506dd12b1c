#pragma once

#include <QByteArray>

#include <vector>

// The order in which the list shows tags: alphabetical by the user's locale, letter case
// ignored; equal tags keep the order they came in. `tags` holds NoteRecord::TagLength bytes per
// tag, as stored; `order` is filled with the tags counted from 0, in display order, reusing its
// memory.
void tagOrder(QByteArrayView tags, std::vector<quint32>& order);

// Below this many tags a share, the sort's keys are not worth another thread.
inline quint32 minimumTagsPerThread = 20000;
