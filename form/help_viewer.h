#pragma once

#include <QString>

// Our help viewer, shipped beside the program: cardisto-help [--topic N] FILE
inline const QString HelpViewerProgram = QStringLiteral("cardisto-help");
