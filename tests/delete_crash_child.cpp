// Deletes one tag from zmr.lst in the given folder and kills itself at a chosen step of the
// file's replacement, as a crash or a power cut would stop the program there.
//
// delete_crash_child FOLDER TAG STEP OCCURRENCE
// STEP is record, synced, replacing, replaced or none.

#include "commands/delete_item.h"
#include "store/note_record.h"
#include "store/store_error.h"

#include <QDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
const char* stepName(ReplacementStep step) {
    switch (step) {
    case ReplacementStep::RecordCopied:
        return "record";
    case ReplacementStep::Synced:
        return "synced";
    case ReplacementStep::Replacing:
        return "replacing";
    case ReplacementStep::Replaced:
        return "replaced";
    }
    return "";
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s FOLDER TAG STEP OCCURRENCE\n", argv[0]);
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    const QString tag = QString::fromLatin1(argv[2]).leftJustified(NoteRecord::TagLength);
    const QByteArray killAt = argv[3];
    const int occurrence = std::atoi(argv[4]);
    int seen = 0;
    NoteRecord buffer;
    try {
        removeTaggedRecords(tag, buffer, [&](ReplacementStep step) {
            if (killAt == stepName(step) && ++seen == occurrence)
                std::raise(SIGKILL);
        });
    } catch (const StoreError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
