// Reading and atomically replacing settings files.
//
// Paths are texts as the library composes them: '\' and '/' both separate
// folders; a '\' that is the second byte of a code page 932 character does not.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace trasso::fileio {

// Makes a path what the file system takes: on POSIX separators turned into '/'.
void makeNative(std::string& path);

inline std::string nativePath(std::string path) {
  makeNative(path);
  return path;
}

// Bytes of one file read whole. The storage only grows and is reused by the
// next read, which neither clears nor copies it.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(FileBytes&& other) noexcept { swap(other); }
  FileBytes& operator=(FileBytes&& other) noexcept {
    swap(other);
    return *this;
  }

  std::string_view view() const { return {data_.get(), size_}; }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }

  // Room for at least n bytes, keeping the first size() bytes.
  char* reserve(size_t n);
  void setSize(size_t n) { size_ = n; }

  void swap(FileBytes& other) noexcept {
    data_.swap(other.data_);
    std::swap(capacity_, other.capacity_);
    std::swap(size_, other.size_);
  }

 private:
  std::unique_ptr<char[]> data_;
  size_t capacity_ = 0;
  size_t size_ = 0;
};

// Reads the whole file at a native path into out. Returns false, with out
// empty, when it cannot be read: missing, a folder, no permission. Never
// creates, locks or changes anything.
bool readFile(const std::string& native, FileBytes& out);

// The same into a string of the caller's, for tools that keep the bytes.
inline bool readFile(const std::string& native, std::string& out) {
  FileBytes bytes;
  const bool ok = readFile(native, bytes);
  out.assign(bytes.view());
  return ok;
}

// What an edit made of a file's contents.
enum class EditResult {
  Changed,    // write the new contents
  Unchanged,  // nothing to write; the update succeeds
  Refused,    // nothing to write; the update fails
};

// Reads, edits and replaces the file at a native path as one step:
// - writers of the same folder are serialised across threads and processes by an
//   exclusive lock on the folder itself, taken before the file is read;
// - the new contents go to a temporary file beside it, are flushed to the disk,
//   take the old file's mode and owner, and are renamed over it; then the folder
//   is flushed, so a crash leaves the old file or the new one, never a mix;
// - a temporary file left by a killed writer is removed by the next update;
// - a symbolic link is followed and the file it names is replaced.
// Fails, changing nothing, when the folder is missing, the path is not a regular
// file, the file's permission bits allow no writing (also for root), or any step
// of the write fails. The edit sees the current contents (empty for a new file)
// and whether the file exists.
bool updateFile(const std::string& native,
                const std::function<EditResult(std::string& contents, bool exists)>& edit);

// The platform's own steps of updateFile; it may throw when memory runs out,
// before anything is renamed.
bool replaceFile(const std::string& native,
                 const std::function<EditResult(std::string& contents, bool exists)>& edit);

// Opens a file at a native path for reading in binary mode; null when it cannot
// be read. Never creates anything.
std::FILE* openForReading(const std::string& native);

// Deletes the file at a native path. A read-only file (no write permission bits,
// or the read-only attribute) stays, as it does for every write of the library.
void removeFile(const std::string& native);

}  // namespace trasso::fileio
