#include "image_list.h"

#include <QBitmap>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>

namespace {

const QColor MaskColour(192, 192, 192);

QPixmap masked(const QString& fileName) {
    QPixmap pixmap(fileName);
    pixmap.setMask(pixmap.createMaskFromColor(MaskColour, Qt::MaskInColor));
    return pixmap;
}

// The drawings' black outlines vanish on a dark toolbar; there they take the palette's text
// colour, which the desktop made to stand out from it. Light palettes keep the drawings as drawn.
QPixmap inked(const QPixmap& pixmap, const QPalette& palette) {
    const QColor ink = palette.color(QPalette::WindowText);
    if (palette.color(QPalette::Window).lightness() >= ink.lightness())
        return pixmap;
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == qRgb(0, 0, 0))
                line[x] = ink.rgb();
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

ImageList::ImageList() {
    const QPalette palette = QGuiApplication::palette();
    for (const char* name : {"new", "delete", "save", "rename", "copy", "help"}) {
        const QString stem = QStringLiteral(":/images/") + QLatin1String(name);
        QIcon icon;
        icon.addPixmap(inked(masked(stem + QStringLiteral("_16.xpm")), palette));
        icon.addPixmap(inked(masked(stem + QStringLiteral("_32.xpm")), palette));
        m_images.append(icon);
    }
}

QIcon ImageList::image(int position) const {
    return m_images.value(position - 1);
}
