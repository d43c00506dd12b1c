#include "image_list.h"

#include <QBitmap>
#include <QColor>
#include <QPixmap>

namespace {

const QColor MaskColour(192, 192, 192);

QPixmap masked(const QString& fileName) {
    QPixmap pixmap(fileName);
    pixmap.setMask(pixmap.createMaskFromColor(MaskColour, Qt::MaskInColor));
    return pixmap;
}

} // namespace

ImageList::ImageList(QObject* parent)
    : QObject(parent) {
    setObjectName(QStringLiteral("ImageList1"));
    for (const char* name : {"new", "delete", "save", "rename", "copy", "help"}) {
        const QString stem = QStringLiteral(":/images/") + QLatin1String(name);
        QIcon icon;
        icon.addPixmap(masked(stem + QStringLiteral("_16.xpm")));
        icon.addPixmap(masked(stem + QStringLiteral("_32.xpm")));
        m_images.append(icon);
    }
}

QIcon ImageList::image(int position) const {
    return m_images.value(position - 1);
}
