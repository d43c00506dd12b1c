#pragma once

#include <QString>
#include <QUrl>

// The product's home page; the web-site menu entry is named after its host, whose first letter
// becomes the entry's access key ("w", free among the menu bar's keys).
inline const QString HomePageAddress = QStringLiteral("https://www.cardisto.org/");

inline QString webSiteName() {
    return QUrl(HomePageAddress).host();
}
