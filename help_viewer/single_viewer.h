#pragma once

#include <QString>

#include <optional>

class HelpWindow;

// One viewer per help file and user. The first viewer of a file listens on a local socket named
// after both; a later start on the same file, in whatever spelling, hands it its topic and ends.
// Without a private place for the socket (viewer_place.h) every start opens a viewer of its own.

// True when a running viewer of the help file (an absolute path) took the topic; none means the
// file's start.
bool handOverToRunningViewer(const QString& helpFile, std::optional<int> topic);

// Shows in the window what later starts on the help file ask for, and brings it to the front.
void acceptLaterStarts(const QString& helpFile, HelpWindow& window);
