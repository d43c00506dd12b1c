#pragma once

#include <QString>

#include <optional>

// The file a help file name refers to, relative to the current directory as the name is.
// Where no file has exactly that name, one in the same folder whose name differs only in letter
// case will do: the program names its help file in two spellings, and only one file is shipped.
std::optional<QString> findHelpFile(const QString& name);
