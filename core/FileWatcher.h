// Which of some files may have changed, from the system's notices on their
// folders (inotify; ReadDirectoryChangesW on Windows). The folder is watched
// rather than the file, since a write renames a new file into place; where
// the folder does not exist yet, the nearest folder above it that does, so
// that its making is seen. Nothing polls: waiting costs no CPU.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace trasso::fileio {

// A wait of some milliseconds (negative: no limit) begun when it is made.
class Deadline {
 public:
  explicit Deadline(int32_t timeoutMs)
      : timeoutMs_(timeoutMs),
        end_(std::chrono::steady_clock::now() +
             std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs)) {}
  // Milliseconds left: -1 for no limit, 0 once it has passed.
  int32_t left() const {
    if (timeoutMs_ < 0) return -1;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        end_ - std::chrono::steady_clock::now())
                        .count();
    return ms > 0 ? static_cast<int32_t>(ms) : 0;
  }

 private:
  int32_t timeoutMs_;
  std::chrono::steady_clock::time_point end_;
};

class FileWatcher {
 public:
  // error() says why when the system gave no watch.
  FileWatcher();
  ~FileWatcher();
  FileWatcher(const FileWatcher&) = delete;
  FileWatcher& operator=(const FileWatcher&) = delete;

  const std::string& error() const { return error_; }

  // Watches the file at a native path too; its index is the number of files
  // added before it. False (error() says why) when the system refused.
  bool add(const std::string& native);

  // The indexes of the files that may have changed since the last call, waiting
  // up to timeoutMs (0: no wait, negative: no limit) for a notice that names
  // one. Empty when none came in time.
  std::vector<size_t> changed(int32_t timeoutMs);

  // A descriptor (a HANDLE on Windows) that is ready when a notice is waiting
  // or while pending is set.
  intptr_t descriptor() const;
  void setPending(bool pending);

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::string error_;
};

}  // namespace trasso::fileio
