#pragma once

#include <QString>

// Both files lie in the current directory, which start-up makes the program's own folder.
inline const QString ItemFileName = QStringLiteral("zmr.lst");
inline const QString TemporaryFileName = QStringLiteral("zmr.tmp");
