// What a getter and a setter cost next to the floor of their file operations,
// and next to the INI libraries a program could use instead, at three file
// sizes. The key read is the last one of its section, and its section is the
// last of many; `bench/run` turns the results into a table with ratios. Then
// what jkn's commands over the whole store cost as numbered entries grow, and
// jkn's load of many entries against one jkn set. Last, what a watch costs:
// the time from a write to its change, and the CPU of waiting.
// Byte strings, no conversion: settings texts are code page 932 bytes.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ini.h>
#include <minIni.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TrassoJkn.h"

extern char** environ;

namespace {

constexpr int kSizes[] = {2 << 10, 64 << 10, 1 << 20};

// A settings file of about `size` bytes: sections of other keys, then the
// section that is read, its integer key first and its text key last.
std::string settingsFile(size_t size, const std::string& section, const std::string& firstKey,
                         const std::string& lastKey) {
  std::string tail = "[" + section + "]\r\n" + firstKey + "=3\r\n";
  for (int i = 0; i < 40; ++i)
    tail += "Option" + std::to_string(i) + "=" + std::to_string(i * 37) + "\r\n";
  tail += lastKey + "=ntrip.example.net\r\n";
  std::string head;
  for (int n = 0; head.size() + tail.size() < size; ++n) {
    head += "[Record" + std::to_string(n) + "]\r\n";
    for (int i = 0; i < 12 && head.size() + tail.size() < size; ++i) {
      head += "Item" + std::to_string(i) + "=" + std::to_string(n * 1000 + i) + ",12.5,text\r\n";
    }
  }
  return head + tail;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// One root per file size, each with a "jkn-gnss.ini" and a "jkn-nmea.ini" of
// that size, plus copies of the GNSS file for the other libraries to work on.
class Roots {
 public:
  Roots() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/trasso-bench-XXXXXX";
    base_ = ::mkdtemp(pattern.data());
    for (int size : kSizes) {
      const std::string inf = root(size) + "/inf";
      std::filesystem::create_directories(inf);
      const std::string gnss = settingsFile(size, "GNSS", "Page", "Address");
      bytes_[size] = gnss;
      writeFile(inf + "/jkn-gnss.ini", gnss);
      writeFile(inf + "/peer.ini", gnss);
      writeFile(inf + "/jkn-nmea.ini", settingsFile(size, "NMEA", "Port", "GEOPATH"));
      writeFile(inf + "/jkn-gnss-rtk.ini", settingsFile(size, "GNSS", "RTKRadio", "RTKParityS"));
    }
  }
  ~Roots() { std::filesystem::remove_all(base_); }

  std::string root(int size) const { return base_ + "/" + std::to_string(size); }
  std::string gnss(int size) const { return root(size) + "/inf/jkn-gnss.ini"; }
  std::string nmea(int size) const { return root(size) + "/inf/jkn-nmea.ini"; }
  std::string peer(int size) const { return root(size) + "/inf/peer.ini"; }
  const std::string& bytes(int size) { return bytes_[size]; }
  // Points the library's root 0 at the files of that size.
  void use(int size) const { ::setenv("KORVEL_APPDATA_0", root(size).c_str(), 1); }

 private:
  std::string base_;
  std::map<int, std::string> bytes_;
};

Roots& roots() {
  static Roots r;
  return r;
}

void perSize(benchmark::internal::Benchmark* b) {
  for (int size : kSizes) b->Arg(size);
}

// Floor of a read: open, one read of the whole file into a buffer kept warm, close.
void BM_ReadFloor(benchmark::State& state) {
  const std::string path = roots().gnss(static_cast<int>(state.range(0)));
  std::string buffer(static_cast<size_t>(state.range(0)) + 4096, '\0');
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
}
BENCHMARK(BM_ReadFloor)->Apply(perSize);

void BM_GetText(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(GetQZJkn_GNSS_Address());
}
BENCHMARK(BM_GetText)->Apply(perSize);

void BM_GetInt(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(GetQZJkn_GNSS_Page());
}
BENCHMARK(BM_GetInt)->Apply(perSize);

// The same getters called as a C program calls them, and by name.
void BM_GetTextC(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  char buffer[256];
  for (auto _ : state) benchmark::DoNotOptimize(jkn_GetQZJkn_GNSS_Address(buffer, sizeof buffer));
}
BENCHMARK(BM_GetTextC)->Apply(perSize);

void BM_GetIntC(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(jkn_GetQZJkn_GNSS_Page());
}
BENCHMARK(BM_GetIntC)->Apply(perSize);

void BM_GetByName(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  char buffer[256];
  for (auto _ : state) {
    benchmark::DoNotOptimize(jkn_get("GNSS_Page", nullptr, buffer, sizeof buffer, nullptr));
  }
}
BENCHMARK(BM_GetByName)->Apply(perSize);

// A record of six keys, from one read of its file.
void BM_GetRecord(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  RTK_CONNECT_PROP prop;
  for (auto _ : state) {
    GetQZJkn_GNSS_RTKConnectProp(1, prop);
    benchmark::DoNotOptimize(prop);
  }
}
BENCHMARK(BM_GetRecord)->Apply(perSize);

void BM_MinIniGet(benchmark::State& state) {
  const std::string path = roots().peer(static_cast<int>(state.range(0)));
  char value[260];
  for (auto _ : state) {
    benchmark::DoNotOptimize(ini_gets("GNSS", "Address", "", value, sizeof value, path.c_str()));
  }
}
BENCHMARK(BM_MinIniGet)->Apply(perSize);

// inih parses the whole file, calling back for every key; the key's first
// value is kept.
void BM_InihGet(benchmark::State& state) {
  const std::string path = roots().peer(static_cast<int>(state.range(0)));
  struct Found {
    std::string value;
    bool found = false;
  };
  for (auto _ : state) {
    Found found;
    ini_parse(
        path.c_str(),
        [](void* user, const char* section, const char* name, const char* value) {
          auto* f = static_cast<Found*>(user);
          if (!f->found && strcasecmp(section, "GNSS") == 0 && strcasecmp(name, "Address") == 0) {
            f->value = value;
            f->found = true;
          }
          return 1;
        },
        &found);
    benchmark::DoNotOptimize(found.value);
  }
}
BENCHMARK(BM_InihGet)->Apply(perSize);

void BM_SimpleIniGet(benchmark::State& state) {
  const std::string path = roots().peer(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CSimpleIniA ini;
    ini.LoadFile(path.c_str());
    benchmark::DoNotOptimize(ini.GetValue("GNSS", "Address", ""));
  }
}
BENCHMARK(BM_SimpleIniGet)->Apply(perSize);

// Floor of a durable write of the same bytes: temporary file, its flush, the
// rename over the file, the folder's flush.
void BM_WriteFloor(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const std::string folder = roots().root(size) + "/inf";
  const std::string target = folder + "/floor.ini";
  const std::string temp = folder + "/.floor.ini.tmp";
  const std::string& bytes = roots().bytes(size);
  for (auto _ : state) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), target.c_str());
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
  }
}
BENCHMARK(BM_WriteFloor)->Apply(perSize)->UseRealTime();

void BM_PutInt(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  int value = 0;
  for (auto _ : state) PutQZJkn_GNSS_Page(value++ & 7);
}
BENCHMARK(BM_PutInt)->Apply(perSize)->UseRealTime();

// A record of six keys, in one update of its file.
void BM_PutRecord(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  RTK_CONNECT_PROP prop;
  for (auto _ : state) {
    prop.Radio = (prop.Radio + 1) & 7;
    PutQZJkn_GNSS_RTKConnectProp(1, prop);
  }
}
BENCHMARK(BM_PutRecord)->Apply(perSize)->UseRealTime();

// The peers leave their writes in the page cache. Flushed before the next
// benchmark, outside the timing: the file system's journal would otherwise make
// the next flushing write pay for them, whichever benchmark comes next.
void flushPeerWrites() { ::sync(); }

void BM_MinIniPut(benchmark::State& state) {
  const std::string path = roots().peer(static_cast<int>(state.range(0)));
  int value = 0;
  for (auto _ : state) {
    const char text[2] = {static_cast<char>('0' + (value++ & 7)), '\0'};
    ini_puts("GNSS", "Page", text, path.c_str());
  }
  flushPeerWrites();
}
BENCHMARK(BM_MinIniPut)->Apply(perSize)->UseRealTime();

void BM_SimpleIniPut(benchmark::State& state) {
  const std::string path = roots().peer(static_cast<int>(state.range(0)));
  int value = 0;
  for (auto _ : state) {
    CSimpleIniA ini;
    ini.LoadFile(path.c_str());
    const char text[2] = {static_cast<char>('0' + (value++ & 7)), '\0'};
    ini.SetValue("GNSS", "Page", text);
    ini.SaveFile(path.c_str());
  }
  flushPeerWrites();
}
BENCHMARK(BM_SimpleIniPut)->Apply(perSize)->UseRealTime();

#ifdef TRASSOJKN_JKN
// jkn itself, a process each as a support engineer runs it. The environment
// variable JKN_BINARY names another jkn to measure (an older one).

// jkn's commands over numbered entries: roots whose def-share.ini holds that
// many [Memo] entries (none: the files are missing), made once per count.
std::string entryRoots(int entries) {
  static std::map<int, std::string> made;
  std::string& base = made[entries];
  if (base.empty()) {
    base = roots().root(0) + "-entries-" + std::to_string(entries);
    std::filesystem::create_directories(base + "/a0/inf");
    std::filesystem::create_directories(base + "/a1/inf");
    std::string file = "[Memo]\r\nMax=" + std::to_string(entries) + "\r\n";
    for (int n = 0; n < entries; ++n) {
      file += std::to_string(n) + "=memo of entry " + std::to_string(n) + "\r\n";
    }
    if (entries > 0) writeFile(base + "/a0/inf/def-share.ini", file);
  }
  return base;
}

// CPU time (user and system) of one jkn process, its output thrown away; a
// negative time when it failed.
double jknSeconds(std::vector<std::string> words) {
  const char* other = std::getenv("JKN_BINARY");
  words.insert(words.begin(), other != nullptr ? other : TRASSOJKN_JKN);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int status = 0;
  struct rusage usage {};
  const bool ran = ::posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0 &&
                   ::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
                   WEXITSTATUS(status) == 0;
  posix_spawn_file_actions_destroy(&quiet);
  if (!ran) return -1;
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// One iteration: the CPU time of the command, unless it failed.
bool timeJkn(benchmark::State& state, const std::vector<std::string>& words) {
  const double seconds = jknSeconds(words);
  if (seconds < 0) {
    state.SkipWithError("jkn failed");
    return false;
  }
  state.SetIterationTime(seconds);
  return true;
}

void useEntryRoots(benchmark::State& state) {
  const std::string base = entryRoots(static_cast<int>(state.range(0)));
  ::setenv("KORVEL_APPDATA_0", (base + "/a0").c_str(), 1);
  ::setenv("KORVEL_APPDATA_1", (base + "/a1").c_str(), 1);
}

void runJkn(benchmark::State& state, const std::vector<std::string>& words) {
  useEntryRoots(state);
  for (auto _ : state) {
    if (!timeJkn(state, words)) break;
  }
}

void perEntries(benchmark::internal::Benchmark* b) {
  for (int entries : {0, 2500, 20000}) b->Arg(entries);
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}

void BM_JknList(benchmark::State& state) { runJkn(state, {"list", "Display"}); }
BENCHMARK(BM_JknList)->Apply(perEntries);

void BM_JknCheck(benchmark::State& state) { runJkn(state, {"check"}); }
BENCHMARK(BM_JknCheck)->Apply(perEntries);

void BM_JknDump(benchmark::State& state) { runJkn(state, {"dump"}); }
BENCHMARK(BM_JknDump)->Apply(perEntries);

// A load of many numbered entries into one file (one replacement of it)
// against one set, both into a file that holds none of them.
void BM_JknSet(benchmark::State& state) {
  useEntryRoots(state);
  int value = 0;
  for (auto _ : state) {
    if (!timeJkn(state, {"set", "SksWidth", "7", std::to_string(value++ & 7)})) break;
  }
}
BENCHMARK(BM_JknSet)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_JknLoad(benchmark::State& state) {
  useEntryRoots(state);
  const std::string base = entryRoots(0);
  const std::string doc = base + "/load.json";
  std::string entries;
  for (int i = 0; i < 3000; ++i) {
    entries += std::string(i == 0 ? "" : ",") + R"({"name":"SksWidth","selector":")" +
               std::to_string(1000 + i) + R"(","value":)" + std::to_string(i % 90 + 1) + "}";
  }
  writeFile(doc, R"({"jkn-dump":1,"settings":[)" + entries + "]}");
  for (auto _ : state) {
    std::filesystem::remove(base + "/a0/inf/def-share.ini");  // every entry a change
    if (!timeJkn(state, {"load", doc})) break;
  }
  std::filesystem::remove(base + "/a0/inf/def-share.ini");
}
BENCHMARK(BM_JknLoad)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
#endif

// --- Watching ---------------------------------------------------------------

// From the start of a write to its change taken from a watch of every setting
// (the write's file read again whole and compared). Counters: the median and
// the worst of the run, in microseconds.
void BM_WatchLatency(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  JknWatch* watch = nullptr;
  if (jkn_watch_open(nullptr, 0, &watch) != JKN_OK) state.SkipWithError("no watch");
  std::vector<double> us;
  char change[512];
  size_t length = 0;
  int value = GetQZJkn_GNSS_Page();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    PutQZJkn_GNSS_Page(++value % 8);  // each value differs from the one before
    if (jkn_watch_next(watch, 5000, change, sizeof change, &length) != JKN_OK) {
      state.SkipWithError("no change within 5 s");
      break;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    us.push_back(took.count() * 1e6);
  }
  jkn_watch_close(watch);
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["worst_us"] = us.back();
}
BENCHMARK(BM_WatchLatency)->Apply(perSize)->UseManualTime();

// The CPU an application spends over 100 ms in which nothing changes: waiting
// on a watch, against reading the setting every 10 ms.
void BM_IdleWatch(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  JknWatch* watch = nullptr;
  if (jkn_watch_open(nullptr, 0, &watch) != JKN_OK) state.SkipWithError("no watch");
  for (auto _ : state) {
    benchmark::DoNotOptimize(jkn_watch_next(watch, 100, nullptr, 0, nullptr));
  }
  jkn_watch_close(watch);
}
BENCHMARK(BM_IdleWatch)->Apply(perSize)->Iterations(20);

void BM_IdlePolling(benchmark::State& state) {
  roots().use(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (int i = 0; i < 10; ++i) {
      benchmark::DoNotOptimize(GetQZJkn_GNSS_Page());
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}
BENCHMARK(BM_IdlePolling)->Apply(perSize)->Iterations(20);

// Last: once a second thread has run, the C library takes its multi-threaded
// paths (locks, cancellation points) for the rest of the process.

// The floor with two threads, each on a file of its own: how far two reads in
// parallel can go on this machine at all.
void BM_ReadFloorThreads(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const std::string path = state.thread_index() == 0 ? roots().gnss(size) : roots().nmea(size);
  std::string buffer(static_cast<size_t>(size) + 4096, '\0');
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadFloorThreads)->Apply(perSize)->Threads(1)->Threads(2)->UseRealTime();

// Two threads each read a file of its own; items per second against one thread.
void BM_GetTextThreads(benchmark::State& state) {
  if (state.thread_index() == 0) roots().use(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (state.thread_index() == 0) {
      benchmark::DoNotOptimize(GetQZJkn_GNSS_Address());
    } else {
      benchmark::DoNotOptimize(GetQZJkn_NMEA_SrcGeoPath());
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetTextThreads)->Apply(perSize)->Threads(1)->Threads(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
