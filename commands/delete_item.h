#pragma once

#include "store/item_file_replacement.h"

#include <QString>

struct NoteRecord;

// Rewrites zmr.lst without every record whose tag is exactly `tag`; the others keep their order
// and bytes. Reads through `buffer`, the shared record buffer. Throws StoreError, leaving zmr.lst
// as it was.
void removeTaggedRecords(const QString& tag, NoteRecord& buffer,
                         const ReplacementObserver& observer = {});
