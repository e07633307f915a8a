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

// Runs work in a child process and waits for it. On Windows the child is
// this program again, running only the test kChildTest, which does the work
// the parent names by kChildWork (the work given here is not run).
constexpr const char* kChildTest = "WatchChild.DoesItsParentsWrite";
constexpr const char* kChildWork = "TRASSO_WATCH_CHILD_WORK";
inline void inOtherProcess(const std::function<void()>& work) {
#ifdef _WIN32
  (void)work;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_filter=";
  for (const char* c = kChildTest; *c; ++c) line += static_cast<wchar_t>(*c);
  SetEnvironmentVariableA(kChildWork, "1");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  SetEnvironmentVariableA(kChildWork, nullptr);
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

}  // namespace trasso::test
