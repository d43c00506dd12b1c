#include "app/help_viewer/help_file_lookup.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> findHelpFile(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    const QFileInfo asGiven(QDir::current(), name);
    if (asGiven.exists() && !asGiven.isDir())
        return asGiven.absoluteFilePath();

    // Compared by hand rather than with a name filter, which would read wildcards in the name.
    const QDir folder = asGiven.absoluteDir();
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& file : files) {
        if (file.compare(asGiven.fileName(), Qt::CaseInsensitive) == 0)
            return folder.absoluteFilePath(file);
    }
    return std::nullopt;
}
