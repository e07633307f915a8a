// Buffers a thread keeps from one settings read to the next, so that a getter
// allocates nothing once its thread has read a file of that size; and the
// message of the thread's last failed call of the C interface.
#pragma once

#include <string>

#include "FileSystem.h"

namespace trasso {

namespace fileio {
class ReadSnapshot;
}

struct ThreadBuffers {
  fileio::FileBytes bytes;  // the last file read; the next read reuses it
  std::string path;         // the native path of the file being read
  std::string lastError;    // jkn_last_error's message
  // The thread's read snapshot, while one lives (ReadSnapshot.h).
  fileio::ReadSnapshot* snapshot = nullptr;
};

// This thread's buffers, made on first use and freed when the thread ends;
// null when they cannot be made (out of memory).
ThreadBuffers* threadBuffers() noexcept;

}  // namespace trasso
