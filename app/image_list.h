#pragma once

#include <QIcon>
#include <QList>

// ImageList1: the toolbar's six images, drawn on silver, the colour that is left transparent.
// Each comes at 16 x 16 pixels and at 32 x 32 for screens of double density, drawn for the
// application's palette as it is when the list is made.
class ImageList {
public:
    ImageList();

    // position 1 is the first image
    QIcon image(int position) const;

private:
    QList<QIcon> m_images;
};
