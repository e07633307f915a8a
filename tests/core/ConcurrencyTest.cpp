// Concurrent writers of one file lose nothing; readers never see a partial file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Ini.h"
#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso {
namespace {

constexpr int kWriters = 4;
constexpr int kRounds = 60;

std::string keyOf(int writer, int k) {
  return "w" + std::to_string(writer) + "k" + std::to_string(k);
}

// Each writer owns four keys and writes all of them every round.
void writeRounds(const std::string& path, int writer) {
  for (int round = 1; round <= kRounds; ++round) {
    for (int k = 0; k < 4; ++k) {
      writeText(path, "S", keyOf(writer, k).c_str(), std::to_string(round));
    }
  }
}

class ConcurrentWriters : public test::RootsTest {
 protected:
  void expectEveryKeyAtLastRound() {
    for (int w = 0; w < kWriters; ++w) {
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(readText(inf("c.ini"), "S", keyOf(w, k).c_str(), "lost"), std::to_string(kRounds))
            << keyOf(w, k);
      }
    }
    EXPECT_EQ(test::listFolder(inf("")), "c.ini\n");
  }
};

TEST_F(ConcurrentWriters, ThreadsLoseNoWriteAndReadersSeeWholeFiles) {
  const std::string path = inf("c.ini");
  ASSERT_TRUE(writeText(path, "S", "first", "1"));
  std::atomic<bool> done{false};
  std::atomic<int> partial{0};
  std::thread reader([&] {
    while (!done) {
      // Every complete file holds the first key and ends with a line break.
      std::string bytes = test::readBytes(path);
      if (bytes.empty() || bytes.back() != '\n' || !ini::findValue(bytes, "S", "first")) ++partial;
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) writers.emplace_back(writeRounds, path, w);
  for (auto& t : writers) t.join();
  done = true;
  reader.join();
  EXPECT_EQ(partial.load(), 0);
  expectEveryKeyAtLastRound();
}

TEST_F(ConcurrentWriters, ProcessesLoseNoWrite) {
  const std::string path = inf("c.ini");
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      writeRounds(path, w);
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  expectEveryKeyAtLastRound();
}

}  // namespace
}  // namespace trasso
