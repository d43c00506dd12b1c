#include "tag_list_model.h"

void TagListModel::setTags(const SelectorTags& tags) {
    beginResetModel();
    m_tags = tags;
    endResetModel();
}

int TagListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_tags.size());
}

QVariant TagListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_tags.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_tags.text(index.row());
    return {};
}
