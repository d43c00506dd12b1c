#pragma once

#include <cstddef>

// Asks the system to back a large buffer that is about to be filled with large pages, so that
// filling a hundred megabytes takes a few hundred page faults rather than tens of thousands. A
// hint only: where the system has no such thing, nothing changes.
void adviseLargePages(void* buffer, std::size_t bytes);
