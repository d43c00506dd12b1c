#pragma once

#include <QString>
#include <QUrl>

// The product's home page; the web-site menu entry is named after its host.
inline const QString HomePageAddress = QStringLiteral("https://www.cardisto.org/");

inline QString webSiteName() {
    QString host = QUrl(HomePageAddress).host();
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    return host;
}
