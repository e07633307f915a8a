// Settings are never lost: many writers, killed writers, failing disks, odd
// files and hostile texts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Ini.h"
#include "SyscallHooks.h"
#include "TestRoots.h"
#include "TrassoJkn.h"

namespace trasso {
namespace {

using test::exists;
using test::listFolder;
using test::readBytes;
using test::writeBytes;

// The sky-plot columns of "jkn-gnss.ini" serve as freely numbered keys.
std::map<int, long long> skyPlotValues(const std::string& bytes) {
  std::map<int, long long> values;
  for (int column = 0; column < 2000; ++column) {
    auto value = ini::findValue(bytes, "SKYPLOT", std::to_string(column));
    if (value) values[column] = std::stoll(std::string(*value));
  }
  return values;
}

// A complete file: the section line, then only "column=value" lines, CR LF each.
::testing::AssertionResult isCompleteSkyPlotFile(const std::string& bytes, size_t keys) {
  const std::string head = "[SKYPLOT]\r\n";
  if (bytes.compare(0, head.size(), head) != 0) return ::testing::AssertionFailure() << bytes;
  size_t lines = 0;
  for (size_t pos = head.size(); pos < bytes.size(); ++lines) {
    size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) return ::testing::AssertionFailure() << "cut line: " << bytes;
    const std::string line = bytes.substr(pos, end - pos);
    if (line.find('=') == std::string::npos) return ::testing::AssertionFailure() << line;
    pos = end + 2;
  }
  if (keys != 0 && lines != keys) {
    return ::testing::AssertionFailure() << lines << " lines, expected " << keys;
  }
  return ::testing::AssertionSuccess();
}

// The roots lie in memory where the machine has a tmpfs: these tests are about
// locking and atomic replacement, and a disk's flush latency would only make
// 20,000 writes take minutes. The flush order itself is checked separately.
class Reliability : public test::RootsTest {
 protected:
  void SetUp() override {
    struct stat st;
    if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0) {
      ::setenv("TMPDIR", "/dev/shm", 1);
    }
    test::RootsTest::SetUp();
  }
  std::string gnss() const { return inf("jkn-gnss.ini"); }
};

constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kColumnsPerWriter = 8;
constexpr int kWritesPerWriter = 1250;  // 16 writers: 20,000 writes

TEST_F(Reliability, ManyProcessesAndThreadsLoseNoWrite) {
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      std::vector<std::thread> threads;
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([writer = p * kThreads + t] {
          for (int i = 0; i < kWritesPerWriter; ++i) {
            PutQZJkn_GNSS_SkyPlotLClm(writer * kColumnsPerWriter + i % kColumnsPerWriter, i);
          }
        });
      }
      for (auto& t : threads) t.join();
      ::_exit(0);
    }
  }
  // Meanwhile a reader never sees a partial file.
  int running = kProcesses;
  int partial = 0;
  int reads = 0;
  while (running > 0) {
    int status = 0;
    if (::waitpid(-1, &status, WNOHANG) > 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      --running;
      continue;
    }
    const std::string seen = readBytes(gnss());
    if (!seen.empty() && !isCompleteSkyPlotFile(seen, 0)) ++partial;
    ++reads;
  }
  EXPECT_EQ(partial, 0) << "of " << reads << " reads";
  const std::string bytes = readBytes(gnss());
  const int writers = kProcesses * kThreads;
  ASSERT_TRUE(isCompleteSkyPlotFile(bytes, writers * kColumnsPerWriter));
  int lost = 0;
  for (int writer = 0; writer < writers; ++writer) {
    for (int c = 0; c < kColumnsPerWriter; ++c) {
      // The last i with i % kColumnsPerWriter == c.
      const int last = (kWritesPerWriter - 1 - c) / kColumnsPerWriter * kColumnsPerWriter + c;
      if (GetQZJkn_GNSS_SkyPlotLClm(writer * kColumnsPerWriter + c, -1) != last) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

TEST_F(Reliability, WritersOfTheSameKeysLeaveOnlyValuesSomeoneWrote) {
  constexpr int kWriters = 8;
  constexpr int kWrites = 250;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < kWrites; ++i) PutQZJkn_GNSS_SkyPlotLClm(i % 3, w * 100000 + i);
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
  const std::string bytes = readBytes(gnss());
  ASSERT_TRUE(isCompleteSkyPlotFile(bytes, 3));
  for (const auto& [column, value] : skyPlotValues(bytes)) {
    const long long writer = value / 100000;
    const long long i = value % 100000;
    EXPECT_TRUE(writer >= 0 && writer < kWriters && i < kWrites && i % 3 == column) << value;
  }
}

TEST_F(Reliability, KilledWritersLeaveEveryAcknowledgedWrite) {
  constexpr int kKills = 300;
  constexpr int kColumns = 16;
  std::mt19937 random(20261205);
  std::map<int, long long> acknowledged;  // column: last acknowledged value
  long long nextValue = 0;
  int inFlightStored = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    int ack[2];
    ASSERT_EQ(::pipe(ack), 0);
    const long long first = nextValue;
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(ack[0]);
      for (long long v = first;; ++v) {
        PutQZJkn_GNSS_SkyPlotLClm(static_cast<int>(v % kColumns), static_cast<int>(v));
        if (::write(ack[1], &v, sizeof v) != sizeof v) ::_exit(1);
      }
    }
    ::close(ack[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    long long v;
    long long lastAck = first - 1;
    while (::read(ack[0], &v, sizeof v) == sizeof v) {
      acknowledged[static_cast<int>(v % kColumns)] = v;
      lastAck = v;
    }
    ::close(ack[0]);
    nextValue = lastAck + 2;  // skip the value that may have been in flight

    const std::string bytes = readBytes(gnss());
    if (bytes.empty()) {
      ASSERT_TRUE(acknowledged.empty()) << "file gone after kill " << kill;
      continue;
    }
    ASSERT_TRUE(isCompleteSkyPlotFile(bytes, 0)) << "after kill " << kill;
    const auto stored = skyPlotValues(bytes);
    for (const auto& [column, value] : acknowledged) {
      auto it = stored.find(column);
      ASSERT_NE(it, stored.end()) << "column " << column << " lost after kill " << kill;
      // The acknowledged value, or the one write that was in flight.
      EXPECT_TRUE(it->second == value || it->second == lastAck + 1)
          << "column " << column << ": " << it->second << " instead of " << value;
      if (it->second == lastAck + 1 && it->second != value) {
        ++inFlightStored;
        acknowledged[column] = it->second;  // stored, so later rounds must keep it
      }
    }
    if (exists(inf(".jkn-gnss.ini.tmp"))) {
      // Left by the killed writer; the next write removes it.
      PutQZJkn_GNSS_SkyPlotLClm(1000, kill);
      EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
    }
  }
  RecordProperty("WritesAcknowledged", static_cast<int>(nextValue));
  RecordProperty("InFlightWritesStored", inFlightStored);
  std::printf("%d kills, %lld writes acknowledged, %d unacknowledged writes found stored\n", kKills,
              nextValue, inFlightStored);
}

// Whole folder listing with each file's bytes, to show that nothing changed.
std::string snapshot(const std::string& folder) {
  std::string out;
  std::string names = listFolder(folder);
  size_t pos = 0;
  while (pos < names.size()) {
    size_t end = names.find('\n', pos);
    const std::string name = names.substr(pos, end - pos);
    out += name + ":" + readBytes(folder + "/" + name) + "\n";
    pos = end + 1;
  }
  return out;
}

TEST_F(Reliability, AFullFileSystemLeavesTheOldFile) {
  const std::string mountPoint = root(0) + "/small";
  ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
  if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  }
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{mountPoint};
  ASSERT_EQ(::mkdir((mountPoint + "/inf").c_str(), 0755), 0);
  ::setenv("KORVEL_APPDATA_0", mountPoint.c_str(), 1);
  const std::string file = mountPoint + "/inf/jkn-gnss.ini";
  PutQZJkn_GNSS_Address(std::string(20000, 'a').c_str());
  ASSERT_EQ(GetQZJkn_GNSS_Address().size(), 259u);
  // Fill what is left.
  {
    int fd = ::open((mountPoint + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
  }
  const std::string before = snapshot(mountPoint + "/inf");
  PutQZJkn_GNSS_Address(std::string(30000, 'b').c_str());
  PutQZJkn_GNSS_Page(7);
  // A validating setter reports the failed write; the profile stays as it was.
  EXPECT_FALSE(PutQZJkn_ZETR_Ang_DispMode(file.c_str(), 1));
  EXPECT_EQ(snapshot(mountPoint + "/inf"), before);
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 0);
}

TEST_F(Reliability, AFileSizeLimitLeavesTheOldFile) {
  const std::string old = "[GNSS]\r\nPage=1\r\n" + std::string(3000, ';') + "\r\n";
  writeBytes(gnss(), old);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      2048, 2048
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    PutQZJkn_GNSS_Page(2);
    ::_exit(GetQZJkn_GNSS_Page());
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(readBytes(gnss()), old);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

TEST_F(Reliability, FailingFlushOrRenameLeavesTheOldFile) {
  const std::string old = "[GNSS]\r\nPage=1\r\n";
  writeBytes(gnss(), old);
  test::failNextFsync(EIO);
  PutQZJkn_GNSS_Page(2);
  EXPECT_EQ(readBytes(gnss()), old);
  test::failNextFsync(EIO);
  EXPECT_FALSE(PutQZJkn_ZETR_Tgt1_PsmType(gnss().c_str(), 1));
  EXPECT_EQ(readBytes(gnss()), old);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
  test::failNextRename(EIO);
  PutQZJkn_GNSS_Page(3);
  EXPECT_EQ(readBytes(gnss()), old);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
  PutQZJkn_GNSS_Page(4);
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=4\r\n");
}

TEST_F(Reliability, NewContentsReachTheDiskBeforeTheRenameAndTheFolderAfter) {
  test::startRecording();
  PutQZJkn_GNSS_Page(5);
  const auto events = test::stopRecording();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, test::SyscallEvent::FsyncFile);
  EXPECT_EQ(events[1].kind, test::SyscallEvent::Rename);
  EXPECT_EQ(events[1].detail, gnss());
  EXPECT_EQ(events[2].kind, test::SyscallEvent::FsyncFolder);
}

TEST_F(Reliability, FilesAndFoldersAreTreatedAsTheirModesSay) {
  // Read-only, also for root.
  writeBytes(gnss(), "[GNSS]\r\nPage=1\r\n");
  ASSERT_EQ(::chmod(gnss().c_str(), 0444), 0);
  PutQZJkn_GNSS_Page(2);
  PutQZJkn_GNSS_Address(nullptr);
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=1\r\n");
  struct stat st;
  ASSERT_EQ(::stat(gnss().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);

  // The mode of a replaced file is kept.
  ASSERT_EQ(::chmod(gnss().c_str(), 0600), 0);
  PutQZJkn_GNSS_Page(3);
  ASSERT_EQ(::stat(gnss().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=3\r\n");

  // A link stays a link; the file it names is replaced.
  const std::string real = root(0) + "/real-gnss.ini";
  ASSERT_EQ(::rename(gnss().c_str(), real.c_str()), 0);
  ASSERT_EQ(::symlink(real.c_str(), gnss().c_str()), 0);
  PutQZJkn_GNSS_Page(4);
  ASSERT_EQ(::lstat(gnss().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readBytes(real), "[GNSS]\r\nPage=4\r\n");
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");

  // A settings path that is a folder: nothing written, nothing created.
  ASSERT_EQ(::unlink(gnss().c_str()), 0);
  ASSERT_EQ(::mkdir(gnss().c_str(), 0755), 0);
  PutQZJkn_GNSS_Page(5);
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 0);
  EXPECT_EQ(listFolder(gnss()), "");
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

}  // namespace
}  // namespace trasso
