#include "ReadSnapshot.h"

#include <utility>

#include "SettingsFileIo.h"

namespace trasso::fileio {
namespace {

// The thread's outermost scope. A pointer only: a thread_local object with a
// destructor is freed twice in a MinGW-w64 DLL (ThreadBuffersWindows.cpp).
thread_local ReadSnapshot* current = nullptr;

}  // namespace

ReadSnapshot::ReadSnapshot() noexcept : owner_(current == nullptr) {
  if (owner_) current = this;
}

ReadSnapshot::~ReadSnapshot() {
  if (owner_) current = nullptr;
}

const ReadSnapshot::File* ReadSnapshot::file(const std::string& native) noexcept {
  ReadSnapshot* scope = current;
  if (scope == nullptr) return nullptr;
  try {
    if (scope->stale_) {
      // A reader of this thread may still hold a file of before the write:
      // they stay until the scope ends.
      scope->retired_.push_back(std::move(scope->files_));
      scope->files_.clear();
      scope->stale_ = false;
    }
    std::unique_ptr<File>& held = scope->files_[native];
    if (held == nullptr) {
      auto read = std::make_unique<File>();
      readFile(native, read->bytes);
      read->keys = ini::KeyIndex(read->bytes.view());
      held = std::move(read);
    }
    return held.get();
  } catch (...) {  // out of memory: what is held stays right, and this read reads the file
    return nullptr;
  }
}

void ReadSnapshot::forget() noexcept {
  if (current != nullptr) current->stale_ = true;
}

}  // namespace trasso::fileio
