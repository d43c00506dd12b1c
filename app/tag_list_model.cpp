#include "app/tag_list_model.h"

#include <utility>

void TagListModel::setTags(SelectorTags tags) {
    beginResetModel();
    m_tags = std::move(tags);
    endResetModel();
}

SelectorTags TagListModel::takeTags() {
    beginResetModel();
    SelectorTags tags = std::exchange(m_tags, {});
    endResetModel();
    return tags;
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
