// A scope in which each settings file is read once: for tools that walk many
// settings (list, check, dump), whose getters would otherwise read and scan a
// file once per key, which makes n keys of one file cost n times its size.
//
//   trasso::fileio::ReadSnapshot snapshot;
//   for (...) entry.get(selection);  // each file read once, each key looked up
//
// While a scope lives, the first read of a file on its thread keeps the bytes
// and an index of the keys (ini::KeyIndex); every later read of that file on
// the thread looks its keys up there, with the same rules and the same
// results as a read of the file, from the version read first. A write or a
// removal made through the library on the thread empties the snapshot, so that
// reads after it see what was written. Scopes nest: an inner one joins the
// outer one. Outside a scope, every read reads its file as before.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "FileSystem.h"
#include "Ini.h"

namespace trasso {
struct ThreadBuffers;
}

namespace trasso::fileio {

class ReadSnapshot {
 public:
  // A file as the scope holds it: its bytes (empty when it could not be read,
  // as a reader takes it) and its keys.
  struct File {
    FileBytes bytes;
    ini::KeyIndex keys;
  };

  ReadSnapshot() noexcept;
  ~ReadSnapshot();
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  // The thread's scope, or null outside one (or when the thread's buffers
  // cannot be made: reads then read their files).
  static ReadSnapshot* current() noexcept;

  // The file at a native path as the scope holds it, read now when it holds
  // none yet. Null when memory runs out: the caller then reads the file.
  const File* file(const std::string& native) noexcept;

  // Drops every file the thread's scope holds: they may have changed.
  static void forget() noexcept;

 private:
  using Files = std::unordered_map<std::string, std::unique_ptr<File>>;
  ThreadBuffers* buffers_;
  bool owner_;                  // false: joined an outer scope
  bool stale_ = false;          // a write was made: files_ holds what may have changed
  Files files_;                 // by native path
  std::vector<Files> retired_;  // held before a write, for readers still using them
};

}  // namespace trasso::fileio
