#pragma once

#include <QString>

// Our help viewer, shipped beside the program: cardisto-help [--topic N] [--near X,Y,W,H] FILE
inline const QString HelpViewerProgram = QStringLiteral("cardisto-help");
