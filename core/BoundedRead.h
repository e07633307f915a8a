// How both platforms read a file whole within bounded time and memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <tuple>

#include "FileSystem.h"

namespace trasso::fileio {

// Reads a file whole into the buffer that room(n) gives (at least n bytes,
// keeping those read so far, as a pair of pointer and size). readAt(data, n,
// offset) reads at most n bytes and gives how many, 0 at the end, -1 on
// failure. A regular file reads short only at its end, so a buffer larger than
// the file takes it in one read. When the first buffer fills, fileSize() says
// how large the file is (-1: no regular file, such as a device that never
// ends); the buffer grows to that and a little more, and what does not fit (a
// file growing while it is read) is left out. Returns false when a read or the
// size failed; used receives the bytes read.
template <class ReadAt, class FileSize, class Room>
bool readBounded(ReadAt readAt, FileSize fileSize, size_t first, Room room, size_t& used) {
  size_t limit = kMaxFileSize;
  used = 0;
  auto [data, size] = room(std::min(first, limit));
  for (;;) {
    const int64_t n = readAt(data + used, size - used, used);
    if (n < 0) return false;
    used += static_cast<size_t>(n);
    if (used < size || used >= limit) return true;
    const int64_t length = fileSize();
    if (length < 0) return false;
    limit = std::min(std::max(static_cast<size_t>(length), used) + 65536, kMaxFileSize);
    std::tie(data, size) = room(limit);
  }
}

}  // namespace trasso::fileio
