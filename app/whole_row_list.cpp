#include "app/whole_row_list.h"

#include <QMouseEvent>
#include <QStyleOptionViewItem>

#include <algorithm>

WholeRowList::WholeRowList(QWidget* parent)
    : QListView(parent)
    , m_sampleRow(QStringList{QStringLiteral("Xg")}) {
    // Without it the view lays out every row on its own: seconds for a million entries.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
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

void WholeRowList::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit entryClicked();
}

// The second click of a double click is a click as well.
void WholeRowList::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void WholeRowList::keyPressEvent(QKeyEvent* event) {
    const int before = selectedRow();
    QListView::keyPressEvent(event);
    const int after = selectedRow();
    if (after >= 0 && after != before)
        emit entryClicked();
}

QItemSelectionModel::SelectionFlags WholeRowList::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    // Ctrl+click and Ctrl+Space would take the selection away.
    if (command.testFlag(QItemSelectionModel::Deselect) ||
        command.testFlag(QItemSelectionModel::Toggle))
        command = QItemSelectionModel::ClearAndSelect;
    return command;
}

int WholeRowList::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}
