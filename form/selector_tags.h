#pragma once

#include "store/note_record.h"
#include "store/windows1252.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The entries of the tag list: every tag exactly as stored, its bytes in record order in one
// buffer (a million tags cost their 60 MB and no more), and the order in which the list shows
// them.
struct SelectorTags {
    QByteArray bytes;           // NoteRecord::TagLength per tag
    std::vector<quint32> order; // the tag shown as each entry, counted in tags

    qsizetype size() const { return qsizetype(order.size()); }
    QString text(qsizetype entry) const {
        return Windows1252::decode(QByteArrayView(bytes).sliced(
            qsizetype(order[entry]) * NoteRecord::TagLength, NoteRecord::TagLength));
    }
};
