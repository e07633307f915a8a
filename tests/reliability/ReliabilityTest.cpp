// Settings are never lost, on the real system: many writers, killed writers,
// full disks and size limits, odd files where a settings file belongs, other
// users, readers in other processes. Faults of single steps are tested through
// the file system seam with the write path; these show that the seam's
// statuses are what the system gives.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <thread>

#include "Ini.h"
#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

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
bool isCompleteSkyPlotFile(const std::string& bytes) {
  static const std::regex complete("\\[SKYPLOT\\]\r\n([0-9]+=-?[0-9]+\r\n)*");
  return std::regex_match(bytes, complete);
}

// Runs body in a child process, which exits with what body returns.
template <class Body>
pid_t child(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  return pid;
}

// Waits for a child: its exit status, or -1 if it did not exit.
int exitStatus(pid_t pid) {
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The roots lie in memory where the machine has a tmpfs: these tests are about
// locking and atomic replacement, and a disk's flush latency would only make
// 20,000 writes take minutes. The flush order itself is checked separately.
class Reliability : public RootsTest {
 protected:
  void SetUp() override {
    if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    ::umask(022);
    RootsTest::SetUp();
  }
  std::string gnss() const { return inf("jkn-gnss.ini"); }
};

TEST_F(Reliability, ManyProcessesAndThreadsLoseNoWrite) {
  constexpr int kProcesses = 4, kThreads = 4, kColumns = 8, kWrites = 1250;  // 20,000 writes
  constexpr int kShared = 1999;  // written by everyone: some writer's value must win whole
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = child([p] {
      std::vector<std::thread> threads;
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([writer = p * kThreads + t] {
          for (int i = 0; i < kWrites; ++i) {
            PutQZJkn_GNSS_SkyPlotLClm(writer * kColumns + i % kColumns, i);
            if (i % 50 == 0) PutQZJkn_GNSS_SkyPlotLClm(kShared, writer * 100000 + i);
          }
        });
      }
      for (auto& t : threads) t.join();
      return 0;
    });
    ASSERT_GT(pid, 0);
  }
  // Meanwhile a reader never sees a partial file.
  int running = kProcesses, partial = 0, reads = 0;
  while (running > 0) {
    int status = 0;
    if (::waitpid(-1, &status, WNOHANG) > 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      --running;
      continue;
    }
    const std::string seen = readBytes(gnss());
    partial += !seen.empty() && !isCompleteSkyPlotFile(seen);
    ++reads;
  }
  EXPECT_EQ(partial, 0) << "of " << reads << " reads";
  const std::string bytes = readBytes(gnss());
  ASSERT_TRUE(isCompleteSkyPlotFile(bytes)) << bytes;
  auto values = skyPlotValues(bytes);
  ASSERT_EQ(values.count(kShared), 1u);
  const long long shared = values[kShared];
  EXPECT_TRUE(shared / 100000 < static_cast<long long>(kProcesses) * kThreads &&
              shared % 100000 % 50 == 0)
      << shared;
  values.erase(kShared);
  ASSERT_EQ(values.size(), static_cast<size_t>(kProcesses * kThreads * kColumns));
  for (const auto& [column, value] : values) {
    // The last i with i % kColumns == column % kColumns.
    const int c = column % kColumns;
    EXPECT_EQ(value, (kWrites - 1 - c) / kColumns * kColumns + c) << "column " << column;
  }
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

TEST_F(Reliability, KilledWritersLeaveEveryAcknowledgedWrite) {
  constexpr int kKills = 300, kColumns = 16;
  std::mt19937 random(20261205);
  std::map<int, long long> acknowledged;  // column: last acknowledged value
  long long nextValue = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    int ack[2];
    ASSERT_EQ(::pipe(ack), 0);
    const long long first = nextValue;
    const pid_t pid = child([&] {
      for (long long v = first;; ++v) {
        PutQZJkn_GNSS_SkyPlotLClm(static_cast<int>(v % kColumns), static_cast<int>(v));
        if (::write(ack[1], &v, sizeof v) != sizeof v) return 1;
      }
    });
    ASSERT_GT(pid, 0);
    ::close(ack[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    ::kill(pid, SIGKILL);
    ASSERT_EQ(exitStatus(pid), -1);
    long long v, lastAck = first - 1;
    while (::read(ack[0], &v, sizeof v) == sizeof v)
      acknowledged[static_cast<int>(v % kColumns)] = lastAck = v;
    ::close(ack[0]);
    nextValue = lastAck + 2;  // skip the value that may have been in flight

    const std::string bytes = readBytes(gnss());
    ASSERT_TRUE(bytes.empty() ? acknowledged.empty() : isCompleteSkyPlotFile(bytes))
        << "after kill " << kill << ": " << bytes;
    const auto stored = skyPlotValues(bytes);
    for (auto& [column, value] : acknowledged) {
      auto it = stored.find(column);
      ASSERT_NE(it, stored.end()) << "column " << column << " lost after kill " << kill;
      // The acknowledged value, or the one write that was in flight (then kept).
      ASSERT_TRUE(it->second == value || it->second == lastAck + 1)
          << "column " << column << ": " << it->second << " instead of " << value;
      value = it->second;
    }
  }
  RecordProperty("WritesAcknowledged", static_cast<int>(nextValue));
  // A temporary file a killed writer left behind goes with the next write.
  PutQZJkn_GNSS_SkyPlotLClm(1000, 1);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

TEST_F(Reliability, AFullFileSystemOrASizeLimitLeavesTheOldFile) {
  const std::string small = root(0) + "/small";
  ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  const std::unique_ptr<const char, void (*)(const char*)> unmount(
      small.c_str(), [](const char* path) { ::umount2(path, MNT_DETACH); });
  ASSERT_EQ(::mkdir((small + "/inf").c_str(), 0755), 0);
  ::setenv("KORVEL_APPDATA_0", small.c_str(), 1);
  PutQZJkn_GNSS_Address(std::string(20000, 'a').c_str());
  ASSERT_EQ(GetQZJkn_GNSS_Address().size(), 259u);
  writeBytes(small + "/filler", std::string(size_t{64} * 1024, 'f'));  // what is left
  const std::string file = small + "/inf/jkn-gnss.ini";
  const std::string before = readBytes(file);
  const WriteReport report;
  PutQZJkn_GNSS_Address(std::string(30000, 'b').c_str());
  EXPECT_EQ(report.status(), WriteStatus::DiskFull);
  // A validating setter reports the failed write.
  EXPECT_FALSE(PutQZJkn_ZETR_Ang_DispMode(file.c_str(), 1));
  EXPECT_EQ(readBytes(file), before);
  EXPECT_EQ(listFolder(small + "/inf"), "jkn-gnss.ini\n");

  // A file size limit: the write fails as disk full, without the signal.
  ::setenv("KORVEL_APPDATA_0", root(0).c_str(), 1);
  const std::string old = "[GNSS]\r\nPage=1\r\n" + std::string(3000, ';') + "\r\n";
  writeBytes(gnss(), old);
  EXPECT_EQ(exitStatus(child([this] {
              ::signal(SIGXFSZ, SIG_IGN);
              const struct rlimit limit { 2048, 2048 };
              ::setrlimit(RLIMIT_FSIZE, &limit);
              const WriteStatus s = writeText(gnss(), "GNSS", "Page", "2");
              return s == WriteStatus::DiskFull && GetQZJkn_GNSS_Page() == 1 ? 0 : 1;
            })),
            0);
  EXPECT_EQ(readBytes(gnss()), old);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

// The read buffer grows once to a file's size and is kept: a large file takes
// one read per getter, and two for the call that grows the buffer (counted by
// the kernel's read calls of this process).
TEST_F(Reliability, AGetterReadsItsFileInOneCall) {
  writeBytes(gnss(), "[GNSS]\r\n" + std::string(3 << 20, ';') + "\r\nPage=4\r\n");
  auto readCalls = [] {
    const std::string io = readBytes("/proc/self/io");
    const size_t at = io.find("syscr: ");
    return at == std::string::npos ? -1L : std::stol(io.substr(at + 7));
  };
  if (readCalls() < 0) GTEST_SKIP() << "no /proc/self/io here";
  const long first = readCalls();
  const long own = readCalls() - first;  // the reads of readCalls itself
  std::vector<long> reads;
  for (int call = 0; call < 3; ++call) {
    const long before = readCalls();
    EXPECT_EQ(GetQZJkn_GNSS_Page(), 4);
    reads.push_back(readCalls() - before - own);
  }
  EXPECT_EQ(reads, (std::vector<long>{2, 1, 1}));
}

// Whatever stands where a settings file belongs, a getter returns its default
// at once and a setter refuses with the cause; nothing there is changed.
TEST_F(Reliability, OddFilesInPlaceOfASettingsFile) {
  const std::string fifo = inf("fifo.ini"), socketPath = inf("socket.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // A writer that never stops keeps the pipe full.
  const pid_t feeder = child([&] {
    const int fd = ::open(fifo.c_str(), O_WRONLY);
    const std::string line = "[NMEA]\r\nPort=4\r\n";
    while (::write(fd, line.data(), line.size()) > 0) {
    }
    return 0;
  });
  ASSERT_GT(feeder, 0);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{AF_UNIX, {}};
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::mkdir(inf("folder.ini").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("/dev/zero", inf("zero.ini").c_str()), 0);
  ASSERT_EQ(::symlink("loop.ini", inf("loop.ini").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere.ini", inf("dangling.ini").c_str()), 0);
  const std::pair<const char*, WriteStatus> odd[] = {
      {"fifo.ini", WriteStatus::NotAFile},       {"socket.ini", WriteStatus::NotAFile},
      {"folder.ini", WriteStatus::FileIsFolder}, {"zero.ini", WriteStatus::NotAFile},
      {"loop.ini", WriteStatus::NotAFile},       {"dangling.ini", WriteStatus::NotAFile}};
  const std::string before = listFolder(inf(""));
  // In a child with an alarm, so that a getter that hangs fails the test.
  EXPECT_EQ(exitStatus(child([&] {
              ::alarm(10);
              int wrong = 0;
              for (const auto& [name, status] : odd) {
                wrong += readIntBits(inf(name), "NMEA", "Port", 1) != 1;
                wrong += writeText(inf(name), "NMEA", "Port", "2") != status;
              }
              return wrong;
            })),
            0);
  ::kill(feeder, SIGKILL);
  exitStatus(feeder);
  ::close(listener);
  EXPECT_EQ(listFolder(inf("")), before);
  EXPECT_FALSE(exists(inf("nowhere.ini")));
}

// A file that grows while it is read is read up to a little beyond the size it
// had: the getter ends, and the memory it takes is bounded. A file another
// program appends to is read as far as it has grown; a write replaces it, and
// what that program appends afterwards goes to the file replaced, not to the
// settings file.
TEST_F(Reliability, AFileOthersAppendToIsCutNotFollowedAndReplaced) {
  writeBytes(gnss(), "[GNSS]\r\nPage=6\r\n");
  std::atomic<bool> done{false};
  std::thread grower([&] {
    const int fd = ::open(gnss().c_str(), O_WRONLY | O_APPEND);
    const std::string chunk(1 << 16, ';');
    while (!done && ::write(fd, chunk.data(), chunk.size()) > 0) {
    }
    ::close(fd);
  });
  for (int call = 0; call < 20; ++call) EXPECT_EQ(GetQZJkn_GNSS_Page(), 6);
  done = true;
  grower.join();
  writeBytes(gnss(), "[GNSS]\r\nPage=6\r\n");
  const int appender = ::open(gnss().c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(appender, 0);
  const auto append = [appender](const std::string& line) {
    return ::write(appender, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  };
  ASSERT_TRUE(append("Note=1\r\n"));
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 6);
  PutQZJkn_GNSS_Page(7);
  ASSERT_TRUE(append("Note=2\r\n"));
  ::close(appender);
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=7\r\nNote=1\r\n");
}

// A record written in one process is never read half old, half new in another.
TEST_F(Reliability, AReaderInAnotherProcessSeesNoMixedRecord) {
  const RTK_CONNECT_PROP a{1, 3, 0, 4, 19200, 2}, b{5, 6, 1, 7, 38400, 1};
  PutQZJkn_GNSS_RTKConnectProp(1, a);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t reader = child([&] {
    auto fields = [](const RTK_CONNECT_PROP& x) {
      return std::make_tuple(x.Radio, x.Hosei, x.FlowCTS, x.PortNo, x.BaudRate, x.Parity);
    };
    int mixed = 0;
    (void)!::write(ready[1], "r", 1);
    for (int i = 0; i < 20000 && !exists(inf("done")); ++i) {
      RTK_CONNECT_PROP p;
      GetQZJkn_GNSS_RTKConnectProp(1, p);
      mixed += fields(p) != fields(a) && fields(p) != fields(b);
    }
    return std::min(mixed, 100);
  });
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  for (int i = 1; i <= 200; ++i) PutQZJkn_GNSS_RTKConnectProp(1, i % 2 ? b : a);
  writeBytes(inf("done"), "");
  EXPECT_EQ(exitStatus(reader), 0) << "mixed records read";
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(Reliability, ModesOwnersAndLinksAreKept) {
  struct stat st;
  auto modeOf = [&st](const std::string& path) {
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
  };
  PutQZJkn_GNSS_Page(1);
  EXPECT_EQ(modeOf(gnss()), 0644u);  // a new file: 0666 less the umask
  // Read-only, also for root.
  ASSERT_EQ(::chmod(gnss().c_str(), 0444), 0);
  PutQZJkn_GNSS_Page(2);
  PutQZJkn_GNSS_Address(nullptr);
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=1\r\n");
  EXPECT_EQ(modeOf(gnss()), 0444u);
  // The mode and the owner of a replaced file are kept.
  ASSERT_EQ(::chmod(gnss().c_str(), 0660), 0);
  ASSERT_EQ(::chown(gnss().c_str(), 1234, 5678), 0);
  PutQZJkn_GNSS_Page(3);
  EXPECT_EQ(modeOf(gnss()), 0660u);
  EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(1234u, 5678u));
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=3\r\n");
  // A link stays a link; the file it names is replaced. (A dangling one is left
  // alone: OddFilesInPlaceOfASettingsFile.)
  const std::string real = root(0) + "/real-gnss.ini";
  ASSERT_EQ(::rename(gnss().c_str(), real.c_str()), 0);
  ASSERT_EQ(::symlink("../real-gnss.ini", gnss().c_str()), 0);
  PutQZJkn_GNSS_Page(4);
  EXPECT_TRUE(::lstat(gnss().c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_EQ(readBytes(real), "[GNSS]\r\nPage=4\r\n");
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

TEST_F(Reliability, CallsLeaveNoDescriptorOpenAndCloseNoneOfTheCallers) {
  writeBytes(gnss(), "[GNSS]\r\nPage=1\r\n");
  writeBytes(inf("ro.ini"), "[GNSS]\r\nPage=1\r\n");
  ::chmod(inf("ro.ini").c_str(), 0444);
  // The listing's own descriptor takes the lowest free number: a leak or a
  // closed descriptor of the caller shows as another list.
  const std::string before = listFolder("/proc/self/fd");
  PutQZJkn_GNSS_Page(GetQZJkn_GNSS_Page() + 1);
  PutQZJkn_GNSS_Address(nullptr);
  EXPECT_EQ(writeText(inf("ro.ini"), "GNSS", "Page", "2"), WriteStatus::ReadOnly);
  EXPECT_EQ(QZJknTool_IsGeoidFileISG(gnss().c_str()), false);
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(gnss().c_str()), "");
  EXPECT_EQ(AntennaInit(), 0);
  EXPECT_EQ(listFolder("/proc/self/fd"), before);
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 2);
  // A program without standard input gets descriptor 0 for the files it opens.
  EXPECT_EQ(exitStatus(child([] {
              ::close(0);
              PutQZJkn_GNSS_Page(5);
              return GetQZJkn_GNSS_Page() == 5 && ::fcntl(0, F_GETFD) == -1 ? 0 : 1;
            })),
            0);
}

TEST_F(Reliability, AnotherUserWritesOnlyWhatItsPermissionsAllow) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
  for (const std::string& folder : {root(0) + "/..", root(0)}) ::chmod(folder.c_str(), 0755);
  ::chmod(inf("").c_str(), 0777);
  writeBytes(gnss(), "[GNSS]\r\nPage=1\r\n");  // root's, mode 0644
  const std::string shared = inf("shared.ini"), fresh = inf("fresh.ini"),
                    secret = inf("secret.ini");
  writeBytes(shared, "[A]\r\nx=0\r\n");
  ::chmod(shared.c_str(), 0666);  // root's, writable by everyone
  writeBytes(secret, "[A]\r\nx=0\r\n");
  ::chmod(secret.c_str(), 0222);  // the other user may write it but not read it
  EXPECT_EQ(exitStatus(child([&] {
              if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
                return 9;
              }
              constexpr WriteStatus kDenied = WriteStatus::AccessDenied;
              return (writeText(shared, "A", "x", "1") == kWritten ? 1 : 0) |
                     (writeText(fresh, "A", "y", "2") == kWritten ? 2 : 0) |
                     (writeText(gnss(), "GNSS", "Page", "2") == kDenied ? 4 : 0) |
                     (writeText(secret, "A", "x", "1") == kDenied ? 8 : 0);
            })),
            15);
  EXPECT_EQ(readBytes(secret), "[A]\r\nx=0\r\n");
  EXPECT_EQ(readBytes(gnss()), "[GNSS]\r\nPage=1\r\n");
  EXPECT_EQ(readBytes(shared) + readBytes(fresh), "[A]\r\nx=1\r\n[A]\r\ny=2\r\n");
}

}  // namespace
}  // namespace trasso::test
