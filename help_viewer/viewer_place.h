#pragma once

#include <QString>

#include <optional>

// Where the one viewer of a help file for this user listens, and the lock that starts on the file
// take turns with.
struct ViewerPlace {
    QString server;
    QString lock;
};

// Named after the bytes of the help file's resolved path, in the user's runtime folder. None when
// that folder is not the user's alone, or the file cannot be resolved: each start then opens a
// viewer of its own.
std::optional<ViewerPlace> viewerPlace(const QString& helpFile);
