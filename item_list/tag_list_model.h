#pragma once

#include "tag_order.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QList>

class ItemStore;

// The list of items as ML_Selector shows it, and its one owner: every tag exactly as stored,
// their bytes in record order in one buffer (a million tags cost their 60 MB and no more), and
// the order in which the list shows them. An entry is decoded only when a view asks for it. The
// memory is kept from one refill to the next: refilling it costs far less than faulting in fresh
// memory for a long list.
class TagListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // Fills the list from the item file in one store session, sorted. A file that cannot be
    // read leaves the list as it was; an error once the file is read leaves it empty. Throws
    // StoreError as the store does.
    void refill(ItemStore& store);

    // The entry's tag as stored, padded to its full length.
    QString text(qsizetype row) const;
    // The entry whose tag is exactly `tag`; -1 when there is none.
    qsizetype rowOf(const QString& tag) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QByteArrayView tagBytes(qsizetype row) const;

    QByteArray m_bytes;     // NoteRecord::TagLength per tag
    QList<quint32> m_order; // the tag shown as each entry, counted in tags
    TagOrder m_sort;
};
