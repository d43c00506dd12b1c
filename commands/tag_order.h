#pragma once

#include <QStringList>

// Puts tags in the list's order: alphabetical by the user's locale, letter case ignored; equal
// tags keep the order they came in.
void sortTags(QStringList& tags);
