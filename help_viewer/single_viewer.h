#pragma once

#include <QString>

#include <memory>
#include <optional>

class HelpWindow;
class QLockFile;

// One viewer per help file and user. The first viewer of a file listens on a local socket named
// after both; a later start on the same file, in whatever spelling, hands it its topic and ends.
// Without a private place for the socket (viewer_place.h) every start opens a viewer of its own.

// Held from looking for a running viewer until this one listens, so that of starts however close
// together one listens and the others hand over. Empty when there is no place, or an earlier
// start kept the turn too long.
std::unique_ptr<QLockFile> takeStartTurn(const QString& helpFile);

// True when a running viewer of the help file (an absolute path) took the topic; none means the
// file's start.
bool handOverToRunningViewer(const QString& helpFile, std::optional<int> topic);

// Shows in the window what later starts on the help file ask for, and brings it to the front.
void acceptLaterStarts(const QString& helpFile, HelpWindow& window);
