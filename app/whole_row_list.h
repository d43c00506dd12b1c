#pragma once

#include <QListView>
#include <QStringListModel>

// A list box that shows whole rows only: it takes the largest height, frame included, that
// holds a whole number of rows and is not more than asked. Like the platform's list box, it
// reports every click on an entry, the selected one included, and every key that selects one,
// and once an entry is selected, one stays selected.
class WholeRowList : public QListView {
    Q_OBJECT

public:
    explicit WholeRowList(QWidget* parent = nullptr);

    void setWholeRowGeometry(int left, int top, int width, int height);
    int rowHeight() const;

signals:
    void entryClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    int selectedRow() const;

    // Measures a row even while the list is empty.
    QStringListModel m_sampleRow;
};
