#include "SyscallHooks.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace trasso::test {
namespace {

std::mutex mutex;
bool recording = false;
std::vector<SyscallEvent> events;
int fsyncError = 0;
int renameError = 0;

template <class F>
F next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
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

}  // namespace trasso::test

using namespace trasso::test;

// These definitions take the place of the C library's for the whole program,
// the library's objects included.
extern "C" int fsync(int fd) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (fsyncError != 0) {
      errno = fsyncError;
      fsyncError = 0;
      return -1;
    }
    if (recording) {
      struct stat st;
      const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
      events.push_back({folder ? SyscallEvent::FsyncFolder : SyscallEvent::FsyncFile, ""});
    }
  }
  static auto real = next<int (*)(int)>("fsync");
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (renameError != 0) {
      errno = renameError;
      renameError = 0;
      return -1;
    }
    if (recording) events.push_back({SyscallEvent::Rename, to});
  }
  static auto real = next<int (*)(const char*, const char*)>("rename");
  return real(from, to);
}
