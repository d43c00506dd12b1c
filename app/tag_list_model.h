#pragma once

#include "selector_tags.h"

#include <QAbstractListModel>

// The entries of ML_Selector, decoded only when the view asks for one, so that a million
// entries cost their bytes rather than a string each.
class TagListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setTags(const SelectorTags& tags);
    QString text(int row) const { return m_tags.text(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    SelectorTags m_tags;
};
