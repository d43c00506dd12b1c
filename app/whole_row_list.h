#pragma once

#include <QListWidget>
#include <QStringListModel>

// A list box that shows whole rows only: it takes the largest height, frame included, that
// holds a whole number of rows and is not more than asked.
class WholeRowList : public QListWidget {
    Q_OBJECT

public:
    explicit WholeRowList(QWidget* parent = nullptr);

    void setWholeRowGeometry(int left, int top, int width, int height);
    int rowHeight() const;

private:
    // Measures a row even while the list is empty.
    QStringListModel m_sampleRow;
};
