#pragma once

class QFileDevice;
class QString;

// Pushes what was written to a file past every cache onto the disk. Qt's flush() only empties
// its own buffer; a report of success must survive a power cut.
bool syncToDisk(QFileDevice& file);

// Makes a rename inside the folder durable. Best effort: some file systems refuse it.
void syncFolder(const QString& folder);
