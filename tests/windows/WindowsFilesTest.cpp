// What the POSIX reliability program guards, on Windows: several writer
// processes (this program started again), killed writers, readers that hold the
// file open, attributes and code page 932 paths.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>

#include "FileSystem.h"
#include "FileSystemSeam.h"
#include "SettingsValues.h"
#include "TestRoots.h"
#include "TrassoJknC.h"

namespace trasso::test {
namespace {

constexpr int kColumns = 8;  // of each writer thread, each written 5 times
constexpr size_t kBigValue = 300000;

std::wstring wide(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                 static_cast<int>(out.size())));
  return out;
}

// Starts this program again to run Child.DISABLED_Run with the given task.
HANDLE startChild(const std::string& task) {
  SetEnvironmentVariableA("TRASSOJKN_CHILD", task.c_str());
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) +
                         L"\" --gtest_also_run_disabled_tests --gtest_filter=Child.DISABLED_Run";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

DWORD waitForExit(HANDLE process) {
  DWORD code = 1;
  WaitForSingleObject(process, INFINITE);
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

// Tasks of a started child: "write <n>" makes writer n's writes from two
// threads; "poll <path>" reads until path exists; "big <path>" writes large
// values to path until it is killed.
TEST(Child, DISABLED_Run) {
  const char* task = std::getenv("TRASSOJKN_CHILD");
  ASSERT_NE(task, nullptr);
  if (task[0] == 'w') {
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
      threads.emplace_back([first = (std::atoi(task + 6) * 2 + t) * kColumns] {
        for (int i = 0; i < 5 * kColumns; ++i) PutQZJkn_GNSS_SkyPlotLClm(first + i % kColumns, i);
      });
    }
    for (auto& t : threads) t.join();
    return;
  }
  if (task[0] == 'p') {
    // "poll <path>": reads a setting of the GNSS file until path exists.
    while (GetFileAttributesA(task + 5) == INVALID_FILE_ATTRIBUTES) (void)GetQZJkn_GNSS_Page();
    return;
  }
  for (int i = 0;; ++i) {
    ASSERT_EQ(writeText(task + 4, "S", "v", std::string(kBigValue, char('a' + i % 26))), kWritten);
  }
}

using WindowsFiles = RootsTest;

TEST_F(WindowsFiles, WriterProcessesAndThreadsLoseNothing) {
  constexpr int kProcesses = 3;
  std::vector<HANDLE> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(startChild("write " + std::to_string(p)));
    ASSERT_NE(children.back(), nullptr);
  }
  for (HANDLE child : children) EXPECT_EQ(waitForExit(child), 0u);
  // Every column keeps its writer's last value: 32 + its place among the thread's 8.
  for (int column = 0; column < kProcesses * 2 * kColumns; ++column) {
    EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(column, -1), 4 * kColumns + column % kColumns) << column;
  }
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

TEST_F(WindowsFiles, KilledWritersLeaveTheOldOrTheNewFile) {
  const std::string path = inf("big.ini");
  std::mt19937 random(20261206);
  for (int kill = 0; kill < 4; ++kill) {
    // The child writes lowercase letters only: wait for its first write.
    writeBytes(path, "[S]\r\nv=" + std::string(kBigValue, 'Z') + "\r\n");
    HANDLE child = startChild("big " + path);
    ASSERT_NE(child, nullptr);
    while (readBytes(path).compare(0, 8, "[S]\r\nv=Z") == 0) Sleep(5);
    Sleep(std::uniform_int_distribution<DWORD>(0, 150)(random));
    TerminateProcess(child, 9);
    waitForExit(child);
    // What a reader sees: a writer killed between its two renames leaves the
    // old file set aside, and readers read that one.
    fileio::FileBytes read;
    ASSERT_TRUE(fileio::platformFileSystem().readFile(path, read));
    const std::string bytes(read.view());
    ASSERT_EQ(bytes.size(), kBigValue + 9);
    EXPECT_EQ(bytes, "[S]\r\nv=" + std::string(kBigValue, bytes[7]) + "\r\n");
  }
  // The next writer takes the mutex the killed one held and removes its temporary file.
  ASSERT_EQ(writeText(path, "S", "v", "1"), kWritten);
  EXPECT_EQ(readBytes(path), "[S]\r\nv=1\r\n");
  EXPECT_EQ(listFolder(inf("")), "big.ini\n");
}

// Readers of the library share the file's deletion: one polling in this
// process and one in another make no write wait, fail or get lost.
TEST_F(WindowsFiles, PollingReadersNeitherFailNorLoseWrites) {
  PutQZJkn_GNSS_Page(1);
  const std::string stop = inf("stop");
  HANDLE poller = startChild("poll " + stop);
  ASSERT_NE(poller, nullptr);
  std::atomic<bool> done{false};
  std::atomic<long> polls{0};
  std::thread reader([&] {
    while (!done) polls += GetQZJkn_GNSS_Page() == 1;
  });
  std::atomic<int> failed{0}, lost{0};
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 1; i <= 25; ++i) {
        failed += statusOf([&] { PutQZJkn_GNSS_SkyPlotLClm(w, i); }) != kWritten;
        lost += GetQZJkn_GNSS_SkyPlotLClm(w, -1) != i;
      }
    });
  }
  for (auto& t : writers) t.join();
  done = true;
  reader.join();
  writeBytes(stop, "");
  EXPECT_EQ(waitForExit(poller), 0u);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(lost, 0);
  EXPECT_GT(polls, 0);
  DeleteFileA(stop.c_str());
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

// Threads that read and write settings and end leave the process's heaps
// whole: what a thread keeps between reads is freed once, when it ends.
TEST_F(WindowsFiles, ThreadsThatComeAndGoLeaveTheHeapsWhole) {
  for (int round = 0; round < 25; ++round) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([t, round] {
        PutQZJkn_GNSS_SkyPlotLClm(t, round);
        EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(t, -1), round);
        // Allocations of other sizes take up what a wrong free would release.
        std::vector<std::string> churn(64, std::string(40 + t * 8, 'x'));
      });
    }
    for (auto& t : threads) t.join();
  }
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  ASSERT_GT(count, 0u);
  for (DWORD h = 0; h < count && h < 64; ++h) EXPECT_TRUE(HeapValidate(heaps[h], 0, nullptr)) << h;
}

TEST_F(WindowsFiles, AttributesAndCodePage932Paths) {
  // A folder named with katakana "so" (second byte '\') and "a".
  const std::string folder = root(0) + "\\\x83\x5C\x83\x41";
  ASSERT_TRUE(CreateDirectoryW(wide(folder).c_str(), nullptr));
  const std::string path = folder + "/\x83\x41.ini";
  ASSERT_EQ(writeText(path, "S", "v", "1"), kWritten);
  EXPECT_EQ(GetFileAttributesW((wide(root(0)) + L"\\\u30BD\u30A2\\\u30A2.ini").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(readText(path, "S", "v", ""), "1");

  // A hidden file stays hidden; a read-only one is never changed, also for root under Wine.
  const std::wstring file = wide(path);
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(writeText(path, "S", "v", "2"), kWritten);
  EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD readOnly = GetFileAttributesW(file.c_str());
  EXPECT_EQ(writeText(path, "S", "v", "3"), WriteStatus::ReadOnly);
  EXPECT_EQ(readText(path, "S", "v", ""), "2");
  EXPECT_EQ(GetFileAttributesW(file.c_str()), readOnly);
}

// Errors the sweeps below give their calls, with the status each means
// (Written: waited out, or done without).
using S = WriteStatus;
constexpr ErrorStatus kFull{ERROR_DISK_FULL, S::DiskFull}, kDevice{ERROR_IO_DEVICE, S::IoError},
    kDenied{ERROR_ACCESS_DENIED, S::AccessDenied}, kNoMemory{ERROR_NOT_ENOUGH_MEMORY, S::IoError},
    kDeniedOk{ERROR_ACCESS_DENIED, S::Written}, kProtected{ERROR_WRITE_PROTECT, S::AccessDenied},
    kShared{ERROR_SHARING_VIOLATION, S::Written}, kTooMany{ERROR_TOO_MANY_OPEN_FILES, S::IoError},
    kHandle{ERROR_INVALID_HANDLE, S::IoError}, kNoFolder{ERROR_PATH_NOT_FOUND, S::FolderMissing},
    kOtherDrive{ERROR_NOT_SAME_DEVICE, S::IoError};
const intptr_t kInvalid = reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE);

// Every system call of a write fails in turn, with each error the system can
// give it: the write says why, or does without the call, and leaves the old
// file or the new one whole and nothing beside it ('L': a set-aside file that
// could not be deleted, which the next write clears).
TEST_F(WindowsFiles, EveryFailingCallOfAWriteIsItsStatusOrDoneWithout) {
  // Uses in order: plan (the folder's attributes; the file opened, its final
  // name, closed), lock (the folder opened, its final name, the mutex, the
  // folder closed, the wait), leftovers (delete the temporary file, the
  // file's attributes, delete the file set aside), the current file (open,
  // type, information twice, read, close), the temporary file (create, write,
  // flush, close), the replacement (attributes, two renames, delete the file
  // set aside), unlock (the mutex closed).
  const std::vector<SweptCall> calls = {
      {TRASSO_SWEPT(GetFileAttributesW), INVALID_FILE_ATTRIBUTES, "F--", {kDenied, kNoFolder}},
      {TRASSO_SWEPT(CreateFileW), kInvalid, "-FFF", {kDenied, kTooMany}},
      {TRASSO_SWEPT(GetFinalPathNameByHandleW), 0, "-F", {kDenied, kNoMemory}},
      {TRASSO_SWEPT(CreateMutexW), 0, "F", {kDenied, kHandle}},
      {TRASSO_SWEPT(WaitForSingleObject), WAIT_FAILED, "F", {kHandle}},
      {TRASSO_SWEPT(DeleteFileW), 0, "--L", {kDeniedOk}},
      {TRASSO_SWEPT(GetFileType), FILE_TYPE_UNKNOWN, "F", {kHandle}},
      {TRASSO_SWEPT(GetFileInformationByHandle), 0, "FF", {kDenied, kDevice}},
      {TRASSO_SWEPT(ReadFile), 0, "F", {kDevice, {ERROR_LOCK_VIOLATION, S::Busy}}},
      {TRASSO_SWEPT(WriteFile), 0, "F", {kFull, {ERROR_HANDLE_DISK_FULL, S::DiskFull}, kDevice}},
      // A write call that takes no byte means a full disk.
      {TRASSO_SWEPT(WriteFile), TRUE, "F", {{NO_ERROR, S::DiskFull}}},
      {TRASSO_SWEPT(FlushFileBuffers), 0, "F", {kDevice, kFull}},
      {TRASSO_SWEPT(CloseHandle), 0, "---F-", {kHandle}, true},
      // A program holding the file (or the new one) for a moment is waited for.
      {TRASSO_SWEPT(MoveFileExW), 0, "FF", {kShared, kDeniedOk, kFull, kProtected, kOtherDrive}},
  };
  sweepWrite(inf("v.ini"), calls);
}

TEST_F(WindowsFiles, EveryFailingCallOfAReadGivesTheDefault) {
  // Uses in order: open, type, information, read (the first buffer fills),
  // size, read (the rest), close.
  const std::vector<SweptCall> calls = {
      {TRASSO_SWEPT(CreateFileW), kInvalid, "F", {kDenied, kShared}},
      {TRASSO_SWEPT(GetFileType), FILE_TYPE_UNKNOWN, "F", {kHandle}},
      {TRASSO_SWEPT(GetFileInformationByHandle), 0, "F", {kDevice}},
      {TRASSO_SWEPT(ReadFile), 0, "FF", {kDevice}},
      {TRASSO_SWEPT(GetFileSizeEx), 0, "F", {kDevice}},
      {TRASSO_SWEPT(CloseHandle), 0, "-", {kHandle}, true},
  };
  sweepRead(inf("v.ini"), calls);
}

// Another program that holds a settings file without sharing it for a moment
// is waited for by a getter and by every step of a write; held past the wait,
// the C getter and the write say busy, and so does a write while a reader
// holds the file without sharing its deletion.
TEST_F(WindowsFiles, AFileHeldWithoutSharingIsWaitedForThenBusy) {
  const std::string path = inf("jkn-gnss.ini");
  writeBytes(path, "[GNSS]\r\nPage=6\r\n");
  const auto hold = [&](DWORD share) {
    return CreateFileW(wide(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  // What act gives with the file held for its first 100 ms.
  const auto heldAMoment = [&](auto act) {
    std::thread release([held = hold(0)] {
      Sleep(100);
      CloseHandle(held);
    });
    const auto result = act();
    release.join();
    return result;
  };
  EXPECT_EQ(heldAMoment([] { return GetQZJkn_GNSS_Page(); }), 6);
  EXPECT_EQ(heldAMoment([] { return statusOf([] { PutQZJkn_GNSS_Page(7); }); }), kWritten);

  HANDLE held = hold(0);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  char value[16] = "x";
  size_t length = 0;
  EXPECT_EQ(jkn_get("GNSS_Page", nullptr, value, sizeof value, &length), JKN_BUSY);
  EXPECT_STREQ(value, "x");
  char message[512];
  jkn_last_error(message, sizeof message);
  EXPECT_NE(std::string(message).find("jkn-gnss.ini [GNSS] Page is held by another program"),
            std::string::npos)
      << message;
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(statusOf([] { PutQZJkn_GNSS_Page(8); }), WriteStatus::Busy);
  EXPECT_GE(GetTickCount64() - start, 1900u);
  CloseHandle(held);
  held = hold(FILE_SHARE_READ);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(statusOf([] { PutQZJkn_GNSS_Page(9); }), WriteStatus::Busy);
  CloseHandle(held);
  EXPECT_EQ(readBytes(path), "[GNSS]\r\nPage=7\r\n");
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

// The name the system gives the file that plan opens.
std::wstring givenFinalName;
DWORD WINAPI finalNameGiven(HANDLE, LPWSTR out, DWORD room, DWORD) {
  const DWORD n = static_cast<DWORD>(givenFinalName.size());
  if (n >= room) return n + 1;
  out[givenFinalName.copy(out, n)] = L'\0';
  return n;
}

// A write replaces the file by its final name, in the plain form where that
// is shorter than MAX_PATH; a share's name and a longer one keep their prefix.
TEST_F(WindowsFiles, AWriteTakesTheFinalNamePlainWhereItFits) {
  const std::string path = inf("v.ini");
  writeBytes(path, "");
  const auto named = [](size_t size) { return "C:\\" + std::string(size - 9, 'd') + "\\v.ini"; };
  const std::pair<std::string, std::string> cases[] = {
      {"\\\\?\\" + named(MAX_PATH - 1), named(MAX_PATH - 1)},
      {"\\\\?\\" + named(MAX_PATH), "\\\\?\\" + named(MAX_PATH)},
      {"\\\\?\\UNC\\srv\\share\\v.ini", "\\\\?\\UNC\\srv\\share\\v.ini"},
  };
  fileio::systemCalls().GetFinalPathNameByHandleW = &finalNameGiven;
  for (const auto& [given, planned] : cases) {
    givenFinalName = wide(given);
    fileio::WriteTarget t;
    EXPECT_EQ(fileio::platformFileSystem().plan(path, t), kWritten) << given;
    EXPECT_EQ(t.path, planned) << given;
  }
  fileio::systemCalls() = fileio::platformSystemCalls();
}

// A file at a drive's root is written there whatever the drive's current
// folder (here a missing one); a relative path whose one-letter folder is a
// file names it.
TEST_F(WindowsFiles, DriveRootAndRelativePaths) {
  wchar_t before[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, before), 0u);
  ASSERT_NE(before[0], L'C') << "C:'s current folder is its variable's only on another drive";
  const std::string atRoot = "C:\\trassojkn-" + std::to_string(GetCurrentProcessId()) + ".ini";
  ASSERT_TRUE(SetEnvironmentVariableW(L"=C:", L"C:\\trassojkn-missing"));
  EXPECT_EQ(writeText(atRoot, "S", "v", "1"), kWritten);
  SetEnvironmentVariableW(L"=C:", nullptr);
  EXPECT_EQ(readBytes(atRoot), "[S]\r\nv=1\r\n");
  DeleteFileA(atRoot.c_str());

  writeBytes(inf("f"), "");
  ASSERT_TRUE(SetCurrentDirectoryW(wide(inf("")).c_str()));
  EXPECT_EQ(writeText("f\\sub\\x.ini", "S", "v", "1"), WriteStatus::NotAFolder);
  SetCurrentDirectoryW(before);
  EXPECT_EQ(listFolder(inf("")), "f\n");
}

// A writer killed between its two renames left the old file aside and the
// new one unplaced: the next read puts the old file back at its path.
TEST_F(WindowsFiles, AFileAKilledWriterSetAsideIsPutBackByTheNextRead) {
  writeBytes(inf(".jkn-gnss.ini.old"), "[GNSS]\r\nPage=6\r\n");
  writeBytes(inf(".jkn-gnss.ini.tmp"), "[GNSS]\r\nPage=7\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 6);
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), "[GNSS]\r\nPage=6\r\n");
  EXPECT_EQ(listFolder(inf("")), ".jkn-gnss.ini.tmp\njkn-gnss.ini\n");
  PutQZJkn_GNSS_Page(8);
  EXPECT_EQ(listFolder(inf("")), "jkn-gnss.ini\n");
}

}  // namespace
}  // namespace trasso::test
