// Reading and atomically replacing settings files: the one write algorithm of
// the library, over the file system steps of FileSystem.h.
//
// Paths are texts as the library composes them: '\' and '/' both separate
// folders; a '\' that is the second byte of a code page 932 character does not.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "FileSystem.h"
#include "Ini.h"
#include "WriteStatus.h"

namespace trasso::fileio {

inline std::string nativePath(std::string path) {
  makeNative(path);
  return path;
}

// Reads the whole file at a native path into out. Returns false, with out
// empty, when it cannot be read: missing, not a regular file, no permission.
// Never creates, locks or changes anything. While a WriteBatch collects on
// the thread, a file it writes reads as the batch leaves it.
bool readFile(const std::string& native, FileBytes& out);

// The same into a string of the caller's, for tools that keep the bytes.
inline bool readFile(const std::string& native, std::string& out) {
  FileBytes bytes;
  const bool ok = readFile(native, bytes);
  out.assign(bytes.view());
  return ok;
}

// Changes the current contents of a file (empty for a missing file, exists
// false). Returns Written to have the contents written, Unchanged to write
// nothing, or a failure status to give up writing nothing.
using Edit = std::function<WriteStatus(std::string& contents, bool exists)>;

// Reads, edits and replaces the file at a native path as one step:
// - writers of the same folder are serialised across threads and processes by
//   the folder's writer lock, taken before the file is read;
// - the new contents go to a temporary file beside it, are flushed to the disk,
//   take the old file's mode and owner, and replace it in one step; then the
//   folder is flushed, so a crash leaves the old file or the new one;
// - what a killed writer left behind is cleared by the next update;
// - a symbolic link is followed and the file it names is replaced.
// Nothing changes unless the result is Written. The status is also noted to
// the innermost WriteReport of the thread. While a WriteBatch collects on the
// thread, the edit goes to the batch instead (WriteBatch.h), and so it must
// own what it captures.
WriteStatus updateFile(const std::string& native, const Edit& edit);

// The same, except that an edit leaving no bytes in an existing file removes
// it: for taking back a write that created the file.
WriteStatus updateOrRemoveFile(const std::string& native, const Edit& edit);

// updateFile for an edit that does no more than these assignments (setValue in
// order): a collecting batch then makes the assignments of many edits to one
// file in one pass instead of one by one.
WriteStatus assignKeys(const std::string& native, const Edit& edit,
                       const std::vector<ini::Assignment>& assignments);

}  // namespace trasso::fileio
