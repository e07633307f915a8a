// What the watch tests do that differs by platform.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace trasso::test {

// Runs work in a child process and waits for it.
inline void inOtherProcess(const std::function<void()>& work) {
#ifdef _WIN32
  (void)work;  // FIXME
#else
  const pid_t pid = ::fork();
  if (pid == 0) {
    work();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
#endif
}

// Whether a watch's descriptor becomes ready within ms.
inline bool descriptorReady(intptr_t descriptor, int ms) {
#ifdef _WIN32
  return ::WaitForSingleObject(reinterpret_cast<HANDLE>(descriptor), static_cast<DWORD>(ms)) ==
         WAIT_OBJECT_0;
#else
  pollfd p{static_cast<int>(descriptor), POLLIN, 0};
  return ::poll(&p, 1, ms) == 1;
#endif
}

// A path as the library gives it back: with the platform's separators.
inline std::string nativeFolder(std::string path) {
#ifdef _WIN32
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
#endif
  return path;
}

}  // namespace trasso::test
