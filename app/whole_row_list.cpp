#include "app/whole_row_list.h"

#include <QStyleOptionViewItem>

#include <algorithm>

WholeRowList::WholeRowList(QWidget* parent)
    : QListWidget(parent)
    , m_sampleRow(QStringList{QStringLiteral("Xg")}) {
    setUniformItemSizes(true);
    // A horizontal scroll bar would cover part of the last row.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int WholeRowList::rowHeight() const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return std::max(1, itemDelegate()->sizeHint(option, m_sampleRow.index(0)).height());
}

void WholeRowList::setWholeRowGeometry(int left, int top, int width, int height) {
    const int frame = 2 * frameWidth();
    const int rows = std::max(0, (height - frame) / rowHeight());
    setGeometry(left, top, width, rows > 0 ? rows * rowHeight() + frame : 0);
}
