#pragma once

#include <QByteArray>

#include <vector>

// The order in which the list shows tags: alphabetical by the user's locale, letter case
// ignored; equal tags keep the order they came in. `tags` holds NoteRecord::TagLength bytes per
// tag, as stored; the result counts tags from 0, in display order.
std::vector<quint32> tagOrder(QByteArrayView tags);
