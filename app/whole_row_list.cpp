#include "whole_row_list.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <utility>

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

void WholeRowList::highlightOnly(int row) {
    const QScopedValueRollback quiet(m_picking, false);
    const QModelIndex entry = model()->index(row, 0);
    if (entry.isValid())
        selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
}

void WholeRowList::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    if (m_picking && !selected.isEmpty())
        emit entryPicked();
}

void WholeRowList::keyPressEvent(QKeyEvent* event) {
    // With nothing picked, the focus rectangle sits on the first entry unselected; a key that
    // moves from there would skip it.
    const bool firstKey = event->key() == Qt::Key_Home || event->key() == Qt::Key_Up ||
                          event->key() == Qt::Key_Down || event->key() == Qt::Key_Space;
    if (firstKey && !selectionModel()->hasSelection() && model()->rowCount() > 0) {
        selectionModel()->setCurrentIndex(model()->index(0, 0),
                                          QItemSelectionModel::ClearAndSelect);
        return;
    }
    QListView::keyPressEvent(event);
}

void WholeRowList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex entry = indexAt(event->position().toPoint());
    m_pressed = event->button() == Qt::LeftButton ? entry : QModelIndex();
    if (!m_pressed.isValid()) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    const QModelIndex before = selectedEntry();
    QListView::mousePressEvent(event);
    // The user may have edited the text: a click on its entry brings back what is stored.
    if (before == entry && selectedEntry() == entry)
        emit entryPicked();
}

void WholeRowList::mouseMoveEvent(QMouseEvent* event) {
    // Moving the selection along a drag would show every entry passed over.
    if (event->buttons() == Qt::NoButton)
        QListView::mouseMoveEvent(event);
}

void WholeRowList::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    const QModelIndex entry = indexAt(event->position().toPoint());
    // A release where the press was adds nothing: that entry was picked, or failed to be.
    const QModelIndex pressed = std::exchange(m_pressed, QModelIndex());
    if (event->button() == Qt::LeftButton && pressed.isValid() && entry.isValid() &&
        entry != pressed && entry != selectedEntry())
        selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
}

// The second click of a double click is a click as well.
void WholeRowList::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

QItemSelectionModel::SelectionFlags WholeRowList::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    // Ctrl+click and Ctrl+Space would take the selection away.
    if (command.testFlag(QItemSelectionModel::Deselect) ||
        command.testFlag(QItemSelectionModel::Toggle))
        command = QItemSelectionModel::ClearAndSelect;
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return command;
}

QModelIndex WholeRowList::selectedEntry() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}
