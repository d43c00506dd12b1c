#include "help_file_lookup.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> findHelpFile(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    // Not made absolute: the current folder's name need not be valid text.
    const QFileInfo asGiven(name);
    if (asGiven.exists() && !asGiven.isDir())
        return name;

    // Compared by hand rather than with a name filter, which would read wildcards in the name.
    const QDir folder(asGiven.path());
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& file : files) {
        if (file.compare(asGiven.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(file);
    }
    return std::nullopt;
}
