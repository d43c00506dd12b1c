#pragma once

#include <QListView>
#include <QStringListModel>

// A list box that shows whole rows only: it takes the largest height, frame included, that
// holds a whole number of rows and is not more than asked. Like the platform's list box, only
// the left button picks an entry, a click on blank space or Ctrl+click never takes the
// selection away, and a drag picks the entry where the button is released.
//
// entryPicked() is the one way an entry gets shown: it follows every change of the selection,
// whatever caused it, and a click on the entry that is already selected.
class WholeRowList : public QListView {
    Q_OBJECT

public:
    explicit WholeRowList(QWidget* parent = nullptr);

    void setWholeRowGeometry(int left, int top, int width, int height);
    // Highlights the row (none for -1) without picking it.
    void highlightOnly(int row);

signals:
    void entryPicked();

protected:
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    int rowHeight() const;
    QModelIndex selectedEntry() const;

    // Measures a row even while the list is empty.
    QStringListModel m_sampleRow;
    // The entry of a left press not yet released: a release elsewhere picks where it lands.
    QPersistentModelIndex m_pressed;
    bool m_picking = true;
};
