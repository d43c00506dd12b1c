#pragma once

#include <QFont>

// The window's font as designed, "MS Sans Serif" at 8.25 points, or the desktop's own
// sans-serif face where that font is missing.
QFont designFont();
