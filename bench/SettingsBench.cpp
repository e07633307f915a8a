// What a getter and a setter cost next to reading the settings file itself.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "TrassoJkn.h"

namespace {

// When set, fsync returns at once: the setter then costs what it would without
// flushing to the disk, which is what the flush costs by difference.
std::atomic<bool> skipFlush{false};

}  // namespace

// Takes the place of the C library's fsync for the whole program, the library's
// calls included.
extern "C" int fsync(int fd) {
  if (skipFlush) return 0;
  static auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  return real(fd);
}

namespace {

// A root with a "jkn-gnss.ini" of the size the application writes (~60 keys).
class Fixture {
 public:
  Fixture() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/trasso-bench-XXXXXX";
    root_ = ::mkdtemp(pattern.data());
    std::filesystem::create_directories(root_ + "/inf");
    ::setenv("KORVEL_APPDATA_0", root_.c_str(), 1);
    std::ofstream out(root_ + "/inf/jkn-gnss.ini", std::ios::binary);
    out << "[GNSS]\r\n";
    for (int i = 0; i < 60; ++i) out << "Key" << i << "=" << i * 37 << "\r\n";
    out << "MaskElev_Svy=10\r\n[SKYPLOT]\r\n1=5\r\n";
  }
  ~Fixture() { std::filesystem::remove_all(root_); }
  std::string file() const { return root_ + "/inf/jkn-gnss.ini"; }

 private:
  std::string root_;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// The floor: open, one read, close.
void BM_ReadFileOnly(benchmark::State& state) {
  const std::string path = fixture().file();
  char buf[8192];
  for (auto _ : state) {
    int fd = ::open(path.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buf, sizeof buf));
    ::close(fd);
  }
}
BENCHMARK(BM_ReadFileOnly);

void BM_GetterLastKey(benchmark::State& state) {
  fixture();
  for (auto _ : state) benchmark::DoNotOptimize(GetQZJkn_GNSS_MaskElev(1));
}
BENCHMARK(BM_GetterLastKey);

void BM_GetterMissingKey(benchmark::State& state) {
  fixture();
  for (auto _ : state) benchmark::DoNotOptimize(GetQZJkn_GNSS_Password());
}
BENCHMARK(BM_GetterMissingKey);

void BM_Setter(benchmark::State& state) {
  fixture();
  skipFlush = state.range(0) == 0;
  int value = 0;
  for (auto _ : state) PutQZJkn_GNSS_MaskElev(1, value++ & 15);
  skipFlush = false;
}
// Argument 1: flushed to the disk as always; 0: with the flushes skipped.
BENCHMARK(BM_Setter)->Arg(1)->Arg(0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
