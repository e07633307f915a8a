#include "FileSystemSeam.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

#include <thread>
#include <utility>

#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

const char* const kStepNames[kSteps] = {
    "plan",    "lock",        "removeLeftovers", "readCurrent", "writeTemporary",
    "replace", "flushFolder", "removeTemporary", "readFile",
};

// Makes each use of each call of calls fail in turn with each of its errors
// (and, to see that every use is known, the use after the last): act does
// the work, with the call's table entry faulty, and check looks at it after
// the table is whole again. kind is the use's letter, 0 past the last.
template <class Act, class Check>
void sweep(const std::vector<SweptCall>& calls, Act act, Check check) {
  for (const SweptCall& call : calls) {
    const size_t uses = std::char_traits<char>::length(call.uses);
    for (const ErrorStatus& e : call.errors) {
      for (size_t use = 1; use <= uses + 1; ++use) {
        const std::string what = std::string(call.name) + " use " + std::to_string(use) +
                                 " error " + std::to_string(e.error);
        const char kind = use <= uses ? call.uses[use - 1] : '\0';
        systemCallFault() = {0, static_cast<int>(use), e.error, call.failure, call.madeAnyway};
        call.makeFaulty();
        auto result = act();
        fileio::systemCalls() = fileio::platformSystemCalls();
        const int used = systemCallFault().calls;
        EXPECT_TRUE(kind != 0 || used == static_cast<int>(uses)) << what << ": used " << used;
        check(result, kind, e.status, what);
      }
    }
  }
}

}  // namespace

FileSystemSeam::FileSystemSeam()
    : real_(fileio::platformFileSystem()), before_(fileio::useFileSystem(this)) {}

FileSystemSeam::~FileSystemSeam() { fileio::useFileSystem(before_); }

void FileSystemSeam::failCall(Step step, int n, WriteStatus status) {
  const int i = static_cast<int>(step);
  failWith_[i] = status;
  failAt_[i] = calls_[i] + n;
}

std::vector<std::string> FileSystemSeam::takeLog() {
  const std::lock_guard<std::mutex> hold(logMutex_);
  return std::exchange(log_, {});
}

WriteStatus FileSystemSeam::enter(Step step) {
  const int i = static_cast<int>(step);
  if (++calls_[i] == failAt_[i]) return failWith_[i];
  const std::lock_guard<std::mutex> hold(logMutex_);
  log_.push_back(kStepNames[i]);
  return WriteStatus::Written;
}

bool FileSystemSeam::readFile(const std::string& path, fileio::FileBytes& out) {
  out.setSize(0);
  return enter(Step::ReadFile) == WriteStatus::Written && real_.readFile(path, out);
}

SystemCallFault& systemCallFault() {
  static SystemCallFault fault;
  return fault;
}

void setSystemError(int error) {
#ifdef _WIN32
  SetLastError(static_cast<DWORD>(error));
#else
  errno = error;
#endif
}

void sweepWrite(const std::string& path, const std::vector<SweptCall>& calls) {
  const std::string old = "[A]\r\nx=1\r\n", written = "[A]\r\nx=2\r\n";
  const std::string folder = path.substr(0, path.find_last_of("/\\"));
  writeBytes(path, old);
  const std::string listing = listFolder(folder);
  const auto write = [&] { return writeBytes(path, old), writeText(path, "A", "x", "2"); };
  sweep(calls, write, [&](WriteStatus s, char kind, WriteStatus status, const std::string& what) {
    const WriteStatus want = kind == 'F' ? status : kWritten;
    EXPECT_EQ(s, want) << what;
    EXPECT_EQ(readBytes(path), want == kWritten ? written : old) << what;
    const std::string after = listFolder(folder);
    EXPECT_TRUE(kind == 'L' || after == listing) << what << ": " << after;
    // Nothing is held: the next write goes through (and clears what is left).
    EXPECT_EQ(writeText(path, "A", "x", "3"), kWritten) << what;
    EXPECT_EQ(listFolder(folder), listing) << what;
  });
}

void sweepRead(const std::string& path, const std::vector<SweptCall>& calls) {
  const std::string bytes = "[A]\r\n" + std::string(20000, ';') + "\r\nx=5\r\n";
  writeBytes(path, bytes);
  const std::string folder = path.substr(0, path.find_last_of("/\\"));
  const std::string listing = listFolder(folder);
  const auto read = [&] {
    uint32_t value = 0;
    std::thread([&] { value = readIntBits(path, "A", "x", 1); }).join();
    return value;
  };
  sweep(calls, read, [&](uint32_t value, char kind, WriteStatus status, const std::string& what) {
    EXPECT_EQ(value, kind == 'F' && status != kWritten ? 1u : 5u) << what;
  });
  EXPECT_EQ(readBytes(path), bytes);
  EXPECT_EQ(listFolder(folder), listing);
}

}  // namespace trasso::test
