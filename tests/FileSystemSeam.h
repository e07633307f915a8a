// A file system for tests: the platform's own, except that a chosen call of a
// chosen step fails with a chosen status, and every step is counted and logged.
// It stands in for the platform's while it lives.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "FileSystem.h"
#include "SystemCalls.h"

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
  ~FileSystemSeam() override;  // not copied: it holds a mutex

  // The nth call of step from now on (1 for the next) fails with status
  // instead of being made; a read fails as a missing file.
  void failCall(Step step, int n, WriteStatus status);
  int calls(Step step) const { return calls_[static_cast<int>(step)]; }
  // The steps made (not failed ones) since the last call, by name.
  std::vector<std::string> takeLog();

  WriteStatus plan(const std::string& path, fileio::WriteTarget& t) override {
    return pass(Step::Plan, [&] { return real_.plan(path, t); });
  }
  WriteStatus lock(fileio::WriteTarget& t) override {
    return pass(Step::Lock, [&] { return real_.lock(t); });
  }
  void unlock(fileio::WriteTarget& t) override { real_.unlock(t); }
  void removeLeftovers(const fileio::WriteTarget& t) override {
    pass(Step::RemoveLeftovers, [&] { return real_.removeLeftovers(t), WriteStatus::Written; });
  }
  WriteStatus readCurrent(const fileio::WriteTarget& t, std::string& contents,
                          fileio::CurrentFile& current) override {
    return pass(Step::ReadCurrent, [&] { return real_.readCurrent(t, contents, current); });
  }
  WriteStatus writeTemporary(const fileio::WriteTarget& t, const std::string& contents,
                             const fileio::CurrentFile& current) override {
    return pass(Step::WriteTemporary, [&] { return real_.writeTemporary(t, contents, current); });
  }
  WriteStatus replace(const fileio::WriteTarget& t) override {
    return pass(Step::Replace, [&] { return real_.replace(t); });
  }
  WriteStatus flushFolder(const fileio::WriteTarget& t) override {
    return pass(Step::FlushFolder, [&] { return real_.flushFolder(t); });
  }
  void removeTemporary(const fileio::WriteTarget& t) override {
    pass(Step::RemoveTemporary, [&] { return real_.removeTemporary(t), WriteStatus::Written; });
  }
  bool readFile(const std::string& path, fileio::FileBytes& out) override;

 private:
  // Counts the call; the status it is to fail with, or Written to make it.
  WriteStatus enter(Step step);
  // The step's status, or make() when it is not to fail.
  template <class Make>
  WriteStatus pass(Step step, Make make) {
    const WriteStatus s = enter(step);
    return s != WriteStatus::Written ? s : make();
  }

  fileio::FileSystem& real_;
  fileio::FileSystem* before_;
  std::atomic<int> calls_[kSteps] = {};
  std::atomic<int> failAt_[kSteps] = {};
  std::atomic<WriteStatus> failWith_[kSteps] = {};
  std::mutex logMutex_;
  std::vector<std::string> log_;
};

// System calls that fail on demand, below the steps: one call of the
// platform's table at a time is replaced by one that fails its nth use with a
// chosen error (errno, or the last error on Windows) and failure result.
struct SystemCallFault {
  int calls = 0;  // uses of the faulty call so far
  int at = 0;     // the use that fails
  int error = 0;
  intptr_t result = -1;
  bool madeAnyway = false;  // the call is made, then reports the error (close)
};
SystemCallFault& systemCallFault();
void setSystemError(int error);

template <auto Member, class R, class... A>
R faultyCall(A... args) {
  SystemCallFault& f = systemCallFault();
  if (++f.calls == f.at) {
    if (f.madeAnyway) (void)(fileio::platformSystemCalls().*Member)(args...);
    setSystemError(f.error);
    return R(f.result);  // a pointer or a number, as the call returns
  }
  return (fileio::platformSystemCalls().*Member)(args...);
}

template <auto Member, class R, class... A>
void putFaulty(R (*&slot)(A...)) {
  slot = &faultyCall<Member, R, A...>;
}

// One call of the table, swept: each use of it in a write, in order, either
// fails the write ('F': with the status its error gives) or is one the write
// does without ('-': written all the same; 'L': written, leaving what the
// next write clears). Errors whose status is Written are retried or waited
// out (EINTR, a sharing violation).
struct ErrorStatus {
  int error;
  WriteStatus status;
};
struct SweptCall {
  const char* name;
  void (*makeFaulty)();
  intptr_t failure;  // what the call returns when it fails
  const char* uses;
  std::vector<ErrorStatus> errors;
  bool madeAnyway = false;
};
#define TRASSO_SWEPT(call) \
#call, [] { putFaulty<&fileio::SystemCalls::call>(fileio::systemCalls().call); }

// Fails every use of each call of the write of a key of path, one at a time,
// with each of its errors, and checks the status, the file (the old bytes or
// the new ones, whole) and that the folder holds nothing else afterwards.
void sweepWrite(const std::string& path, const std::vector<SweptCall>& calls);

// The same for a getter's read of a file larger than a fresh thread's first
// buffer, on a thread of its own: a failing use ('F') reads the default,
// unless its error's status is Written (retried); nothing is changed.
void sweepRead(const std::string& path, const std::vector<SweptCall>& calls);

}  // namespace trasso::test
