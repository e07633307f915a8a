#include "SyscallHooks.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <utility>

namespace trasso::test {
namespace {

std::mutex mutex;
bool recording = false;
std::vector<SyscallEvent> events;
int fsyncError = 0;
int renameError = 0;
std::atomic<long> reads{0};

// Fails the call (returns true) when an error is pending, else records it.
bool failOrRecord(int& pendingError, SyscallEvent event) {
  std::lock_guard<std::mutex> lock(mutex);
  if (pendingError != 0) {
    errno = std::exchange(pendingError, 0);
    return true;
  }
  if (recording) events.push_back(std::move(event));
  return false;
}

}  // namespace

void startRecording() {
  std::lock_guard<std::mutex> lock(mutex);
  events.clear();
  recording = true;
}

std::vector<SyscallEvent> stopRecording() {
  std::lock_guard<std::mutex> lock(mutex);
  recording = false;
  return std::move(events);
}

void failNextFsync(int error) {
  std::lock_guard<std::mutex> lock(mutex);
  fsyncError = error;
}

void failNextRename(int error) {
  std::lock_guard<std::mutex> lock(mutex);
  renameError = error;
}

long readCalls() { return reads; }

}  // namespace trasso::test

using namespace trasso::test;

// These definitions take the place of the C library's for the whole program,
// the library's objects included.
extern "C" int fsync(int fd) {
  struct stat st;
  const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
  if (failOrRecord(fsyncError,
                   {folder ? SyscallEvent::FsyncFolder : SyscallEvent::FsyncFile, ""})) {
    return -1;
  }
  static auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  if (failOrRecord(renameError, {SyscallEvent::Rename, to})) return -1;
  static auto real =
      reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
  return real(from, to);
}

extern "C" ssize_t read(int fd, void* buffer, size_t size) {
  ++reads;
  static auto real = reinterpret_cast<ssize_t (*)(int, void*, size_t)>(::dlsym(RTLD_NEXT, "read"));
  return real(fd, buffer, size);
}
