#pragma once

#include "note_record.h"
#include "windows1252.h"

#include <QByteArray>
#include <QString>

#include <QList>

// The entries of the tag list: every tag exactly as stored, its bytes in record order in one
// buffer (a million tags cost their 60 MB and no more), and the order in which the list shows
// them. Both are shared, not copied, when the list is handed to the window.
struct SelectorTags {
    QByteArray bytes;     // NoteRecord::TagLength per tag
    QList<quint32> order; // the tag shown as each entry, counted in tags

    qsizetype size() const { return order.size(); }
    QString text(qsizetype entry) const {
        return Windows1252::decode(QByteArrayView(bytes).sliced(
            qsizetype(order[entry]) * NoteRecord::TagLength, NoteRecord::TagLength));
    }
};
