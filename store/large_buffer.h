#pragma once

#include <cstddef>

// Asks the system to back a large buffer that is about to be filled with large pages, so that
// filling a hundred megabytes takes a few hundred page faults rather than tens of thousands. A
// hint only: where the system has no such thing, nothing changes.
void adviseLargePages(void* buffer, std::size_t bytes);

// Makes room for `count` elements in a buffer that is filled again and again, such as the list's
// tags on every rebuild. The memory already there is kept, because touching fresh memory costs a
// good part of a scan, with room for the file to grow a little; it is given back when far larger
// than needed.
template <typename Buffer> void prepareRefill(Buffer& buffer, std::ptrdiff_t count) {
    if (std::ptrdiff_t(buffer.capacity()) > 2 * count)
        buffer = Buffer();
    if (std::ptrdiff_t(buffer.capacity()) < count) {
        buffer.reserve(count + count / 8);
        adviseLargePages(buffer.data(), std::size_t(buffer.capacity()) * sizeof(*buffer.data()));
    }
}
