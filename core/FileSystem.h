// The file system steps a settings write is made of, one implementation per
// platform (FileSystem.cpp for POSIX, FileSystemWindows.cpp for Windows). The
// write itself (lock, read, edit, write a temporary file, replace, flush) is
// written once, over these steps, in SettingsFileIo.cpp. Every step names the
// cause of a failure; tests put a file system of their own in place to make a
// chosen step fail (useFileSystem).
//
// Paths are native: on POSIX '/' separates folders, on Windows the code page 932
// text is taken as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "WriteStatus.h"

namespace trasso::fileio {

// Windows: a native path as wide text, for the wide calls; empty when it is
// no code page 932 text or holds a NUL.
std::wstring widePath(const std::string& native);

// A settings file larger than this is not a settings file: reads take its
// first kMaxFileSize bytes, writes refuse it (DiskFull).
constexpr size_t kMaxFileSize = size_t{64} << 20;

// The largest read buffer kept for a file far smaller than it (kept: its
// thread reuses it for the next read).
constexpr size_t kKeptReadBuffer = size_t{1} << 20;

// Bytes of one file read whole. The storage grows and is reused by the next
// read, which neither clears nor copies it; it shrinks only on request.
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
  // Storage of n bytes (at least size()) in place of a larger one.
  void shrink(size_t n);
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

// One write in progress: filled by plan, used by the later steps.
struct WriteTarget {
  std::string path;       // the file that is replaced: a link is resolved
  std::string folder;     // its folder
  std::string temporary;  // the new contents' file, beside it
  intptr_t folderHandle = -1;
  intptr_t lockHandle = 0;
};

// What the current file is; the new file takes its mode (POSIX) or attributes
// (Windows), and on POSIX its owner. A file that may not be replaced says why
// (ReadOnly, AccessDenied): that counts only where there is something to write.
struct CurrentFile {
  bool exists = false;
  uint32_t mode = 0;
  uint32_t owner = 0;
  uint32_t group = 0;
  WriteStatus locked = WriteStatus::Written;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Finds the file a write of path replaces (a symbolic link is followed), its
  // folder and the temporary file's name. Touches nothing. FolderMissing,
  // NotAFolder, AccessDenied; NotAFile for an empty path, a path ending in a
  // separator or a link that leads nowhere.
  virtual WriteStatus plan(const std::string& path, WriteTarget& t) = 0;

  // Takes the writer lock of the target's folder, waiting for it: exclusive
  // across threads and processes, dropped by unlock or when the process dies.
  // Nothing is created in the folder.
  virtual WriteStatus lock(WriteTarget& t) = 0;
  virtual void unlock(WriteTarget& t) = 0;

  // Under the lock: clears what a writer killed mid-write left for this target
  // (its temporary file; where the platform sets the old file aside, puts it
  // back). Nothing there: nothing to do.
  virtual void removeLeftovers(const WriteTarget& t) = 0;

  // Reads the current file whole. A missing file gives empty contents and
  // exists false. A file that no permission bit or attribute lets anyone write
  // (also an administrator) is read with current.locked ReadOnly, one this
  // process may not write with AccessDenied. FileIsFolder, NotAFile (device,
  // pipe, socket), AccessDenied (cannot be read), DiskFull (over
  // kMaxFileSize), Busy (held without sharing), IoError.
  virtual WriteStatus readCurrent(const WriteTarget& t, std::string& contents,
                                  CurrentFile& current) = 0;

  // Creates the temporary file with contents and the current file's mode,
  // owner or attributes, and flushes it to the disk. A crash leaves at most
  // this file, which removeLeftovers clears. AccessDenied, DiskFull, IoError.
  virtual WriteStatus writeTemporary(const WriteTarget& t, const std::string& contents,
                                     const CurrentFile& current) = 0;

  // Puts the temporary file in the target's place: a reader sees the old file
  // or the new one, never neither, also while another reader holds the old
  // one open. A crash leaves the old file or the new one. Busy when another
  // program holds the file and does not let go in time; AccessDenied, IoError.
  virtual WriteStatus replace(const WriteTarget& t) = 0;

  // Makes the replacement durable: the folder's entry reaches the disk.
  virtual WriteStatus flushFolder(const WriteTarget& t) = 0;

  // Removes the temporary file after a failed step; nothing there is fine.
  virtual void removeTemporary(const WriteTarget& t) = 0;

  // Reads the whole regular file at path into out, at most kMaxFileSize bytes,
  // within bounded time: false (out empty) for a missing file and for anything
  // that is not a regular file (folder, device, pipe, socket, link loop).
  // Never creates, locks or changes anything.
  virtual bool readFile(const std::string& path, FileBytes& out) = 0;
};

// The file system of this platform.
FileSystem& platformFileSystem();

// The file system every settings read and write goes through.
FileSystem& fileSystem();

// Puts fs in place of the current one (null: the platform's again) and
// returns the one it replaces. For tests; not for use while other threads of
// the process read or write settings.
FileSystem* useFileSystem(FileSystem* fs);

// Whether a file name is one a write leaves beside its target while it runs
// (and a killed writer may leave behind); target receives the target's name.
bool isWriteLeftover(std::string_view name, std::string* target = nullptr);

// Makes a path what the file system takes: on POSIX separators turned into '/'.
void makeNative(std::string& path);

// Opens a file for reading in binary mode; null when it cannot be read or is
// not a regular file. Never creates anything.
std::FILE* openForReading(const std::string& native);

// Deletes the file. A read-only file (no write permission bits, or the
// read-only attribute) and anything that is not a regular file stay.
WriteStatus removeFile(const std::string& native);

}  // namespace trasso::fileio
