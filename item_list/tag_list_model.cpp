#include "tag_list_model.h"

#include "item_store.h"
#include "note_record.h"
#include "tag_match.h"
#include "windows1252.h"

void TagListModel::refill(ItemStore& store) {
    // Views let go of the entries only once the file can be read, just before its tags
    // overwrite them.
    bool resetting = false;
    try {
        store.listTags(m_bytes, [this, &resetting] {
            beginResetModel();
            resetting = true;
        });
        m_sort.sort(m_bytes, m_order);
    } catch (...) {
        if (resetting) {
            m_order.clear();
            endResetModel();
        }
        throw;
    }
    endResetModel();
}

QByteArrayView TagListModel::tagBytes(qsizetype row) const {
    return QByteArrayView(m_bytes).sliced(qsizetype(m_order[row]) * NoteRecord::TagLength,
                                          NoteRecord::TagLength);
}

QString TagListModel::text(qsizetype row) const {
    return Windows1252::decode(tagBytes(row));
}

qsizetype TagListModel::rowOf(const QString& tag) const {
    const ExactTagMatch match(tag);
    for (qsizetype row = 0; row < m_order.size(); ++row) {
        if (match(tagBytes(row)))
            return row;
    }
    return -1;
}

int TagListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

QVariant TagListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_order.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return text(index.row());
    return {};
}
