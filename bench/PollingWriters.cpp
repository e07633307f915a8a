// Writers beside readers that poll the same file: the write rate with no
// reader, with a reader thread and with a reader process, and the writes lost
// (a value read back that is not the one written). Plain C++ so that it runs
// in the Windows build too, where Google Benchmark is not at hand.
//
// Usage: polling_writers [WRITERS [WRITES]]   (defaults 4 and 25)
// The roots are fresh temporary folders of its own.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TrassoJkn.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;

void setRoot(const std::string& root) {
#ifdef _WIN32
  SetEnvironmentVariableA("KORVEL_APPDATA_0", root.c_str());
  SetEnvironmentVariableA("KORVEL_APPDATA_1", root.c_str());
  _putenv_s("KORVEL_APPDATA_0", root.c_str());
  _putenv_s("KORVEL_APPDATA_1", root.c_str());
#else
  ::setenv("KORVEL_APPDATA_0", root.c_str(), 1);
  ::setenv("KORVEL_APPDATA_1", root.c_str(), 1);
#endif
}

// This program again, polling until the stop file exists.
struct Poller {
#ifdef _WIN32
  HANDLE process = nullptr;
  Poller(const std::string& self, const std::string& stop) {
    std::string command = "\"" + self + "\" poll \"" + stop + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
      CloseHandle(info.hThread);
      process = info.hProcess;
    }
  }
  void wait() {
    if (process == nullptr) return;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
  }
#else
  pid_t pid = -1;
  Poller(const std::string& self, const std::string& stop) {
    std::string poll = "poll";
    std::string stopArg = stop;
    std::string selfArg = self;
    char* argv[] = {selfArg.data(), poll.data(), stopArg.data(), nullptr};
    if (::posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) pid = -1;
  }
  void wait() {
    if (pid > 0) ::waitpid(pid, nullptr, 0);
  }
#endif
};

struct Result {
  double perSecond;
  int lost;
};

enum class Reader { None, Thread, Process };

Result run(const std::string& self, const std::string& root, int writers, int writes, Reader how) {
  fs::remove_all(root + "/inf");
  fs::create_directories(root + "/inf");
  PutQZJkn_GNSS_Page(1);
  const std::string stop = root + "/stop";
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (how == Reader::Thread && !done) (void)GetQZJkn_GNSS_Page();
  });
  std::optional<Poller> poller;
  if (how == Reader::Process) {
    poller.emplace(self, stop);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // polling by now
  }
  std::atomic<int> lost{0};
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int w = 0; w < writers; ++w) {
    threads.emplace_back([&, w] {
      for (int i = 1; i <= writes; ++i) {
        PutQZJkn_GNSS_SkyPlotLClm(w, i);
        lost += GetQZJkn_GNSS_SkyPlotLClm(w, -1) != i;
      }
    });
  }
  for (auto& t : threads) t.join();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  done = true;
  reader.join();
  if (poller) {
    std::FILE* f = std::fopen(stop.c_str(), "w");
    if (f != nullptr) std::fclose(f);
    poller->wait();
  }
  return Result{writers * writes / seconds, lost.load()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "poll") {
    while (!fs::exists(argv[2])) (void)GetQZJkn_GNSS_Page();
    return 0;
  }
  const int writers = argc > 1 ? std::atoi(argv[1]) : 4;
  const int writes = argc > 2 ? std::atoi(argv[2]) : 25;
  const std::string root =
      (fs::temp_directory_path() / ("trasso-polling-" + std::to_string(std::rand()))).string();
  setRoot(root);
  const std::string self = fs::absolute(argv[0]).string();
  const Result none = run(self, root, writers, writes, Reader::None);
  const Result thread = run(self, root, writers, writes, Reader::Thread);
  const Result process = run(self, root, writers, writes, Reader::Process);
  fs::remove_all(root);
  std::printf("%d writer threads, %d writes each, every write read back\n", writers, writes);
  std::printf("| reader of the same file | writes per second | against no reader | lost |\n");
  std::printf("|---|---|---|---|\n");
  const std::pair<const char*, Result> rows[] = {{"none", none},
                                                 {"a thread polling a getter", thread},
                                                 {"a process polling a getter", process}};
  for (const auto& [label, r] : rows) {
    std::printf("| %s | %.0f | %.2fx | %d |\n", label, r.perSecond, r.perSecond / none.perSecond,
                r.lost);
  }
  return none.lost + thread.lost + process.lost == 0 ? 0 : 1;
}
