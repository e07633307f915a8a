// A file system for tests: the platform's own, except that a chosen call of a
// chosen step fails with a chosen status, and every step is counted and logged.
// It stands in for the platform's while it lives.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "FileSystem.h"

namespace trasso::test {

enum class Step {
  Plan,
  Lock,
  RemoveLeftovers,
  ReadCurrent,
  WriteTemporary,
  Replace,
  FlushFolder,
  RemoveTemporary,
  ReadFile,
};
constexpr int kSteps = static_cast<int>(Step::ReadFile) + 1;

class FileSystemSeam final : public fileio::FileSystem {
 public:
  FileSystemSeam();
  ~FileSystemSeam() override;
  FileSystemSeam(const FileSystemSeam&) = delete;
  FileSystemSeam& operator=(const FileSystemSeam&) = delete;

  // The nth call of step from now on (1 for the next) fails with status
  // instead of being made; a read fails as a missing file.
  void failCall(Step step, int n, WriteStatus status);
  int calls(Step step) const { return calls_[static_cast<int>(step)]; }
  // The steps made (not failed ones) since the last call, by name.
  std::vector<std::string> takeLog();

  WriteStatus plan(const std::string& path, fileio::WriteTarget& t) override;
  WriteStatus lock(fileio::WriteTarget& t) override;
  void unlock(fileio::WriteTarget& t) override;
  void removeLeftovers(const fileio::WriteTarget& t) override;
  WriteStatus readCurrent(const fileio::WriteTarget& t, std::string& contents,
                          fileio::CurrentFile& current) override;
  WriteStatus writeTemporary(const fileio::WriteTarget& t, const std::string& contents,
                             const fileio::CurrentFile& current) override;
  WriteStatus replace(const fileio::WriteTarget& t) override;
  WriteStatus flushFolder(const fileio::WriteTarget& t) override;
  void removeTemporary(const fileio::WriteTarget& t) override;
  bool readFile(const std::string& path, fileio::FileBytes& out) override;

 private:
  // Counts the call; the status it is to fail with, or Written to make it.
  WriteStatus enter(Step step);
  // The step's status, or make() when it is not to fail.
  template <class Make>
  WriteStatus pass(Step step, Make make);

  fileio::FileSystem& real_;
  fileio::FileSystem* before_;
  std::atomic<int> calls_[kSteps] = {};
  std::atomic<int> failAt_[kSteps] = {};
  std::atomic<WriteStatus> failWith_[kSteps] = {};
  std::mutex logMutex_;
  std::vector<std::string> log_;
};

}  // namespace trasso::test
