#include "design_font.h"

#include <QFontDatabase>
#include <QStringList>

QFont designFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"),
                      QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}
