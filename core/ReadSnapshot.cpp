#include "ReadSnapshot.h"

#include <utility>

#include "SettingsFileIo.h"
#include "ThreadBuffers.h"

namespace trasso::fileio {

// The scope hangs from the thread's buffers, which every reader fetches
// anyway: a read outside a scope pays one more test, and Windows gets no
// thread_local with a destructor (ThreadBuffersWindows.cpp).
ReadSnapshot::ReadSnapshot() noexcept : buffers_(threadBuffers()) {
  owner_ = buffers_ != nullptr && buffers_->snapshot == nullptr;
  if (owner_) buffers_->snapshot = this;
}

ReadSnapshot::~ReadSnapshot() {
  if (owner_) buffers_->snapshot = nullptr;
}

ReadSnapshot* ReadSnapshot::current() noexcept {
  ThreadBuffers* buffers = threadBuffers();
  return buffers != nullptr ? buffers->snapshot : nullptr;
}

const ReadSnapshot::File* ReadSnapshot::file(const std::string& native) noexcept {
  try {
    if (stale_) {
      // A reader of this thread may still hold a file of before the write:
      // they stay until the scope ends.
      retired_.push_back(std::move(files_));
      files_.clear();
      stale_ = false;
    }
    std::unique_ptr<File>& held = files_[native];
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
  if (ReadSnapshot* scope = current()) scope->stale_ = true;
}

}  // namespace trasso::fileio
