// The file system steps of a settings write on Windows. Paths are code page
// 932 texts, turned into wide text so that only the wide calls are made and
// nothing depends on the machine's code page.
//
// A file that a reader holds open cannot be renamed over, but it can be
// renamed away when the reader shares deletion (every reader of this library
// does). So the replacement sets the old file aside (".<name>.old"), renames
// the new one into its place and deletes the old one: a reader never holds a
// writer up. For the instant between the two renames the file is missing;
// a reader that finds it missing reads the file set aside, or, gone too, the
// new file.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>

#include "BoundedRead.h"
#include "FileSystem.h"
#include "ReadSnapshot.h"
#include "SystemCalls.h"

namespace trasso::fileio {
namespace {

// Made on first use: the system's addresses are known only once the DLLs are
// loaded, and a static initializer elsewhere may already read settings.
const SystemCalls& platformCalls() {
  static const SystemCalls table = {
      &::CreateFileW,        &::CloseHandle,
      &::ReadFile,           &::WriteFile,
      &::FlushFileBuffers,   &::GetFileType,
      &::GetFileSizeEx,      &::GetFileInformationByHandle,
      &::GetFileAttributesW, &::GetFinalPathNameByHandleW,
      &::MoveFileExW,        &::DeleteFileW,
      &::CreateMutexW,       &::WaitForSingleObject,
  };
  return table;
}

SystemCalls& sys() {
  static SystemCalls table = platformCalls();
  return table;
}

constexpr UINT kPathCodePage = 932;
// How long a read or a write waits for a program that holds the file without
// sharing it, before it gives up as busy.
constexpr DWORD kBusyWaitMs = 2000;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  // Closes now and reports whether it succeeded.
  bool close() {
    HANDLE h = release();
    return h == INVALID_HANDLE_VALUE || h == nullptr || sys().CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

// Empty when the text is not valid code page 932 or holds a NUL.
std::wstring widen(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int n =
      MultiByteToWideChar(kPathCodePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kPathCodePage, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], n);
  if (wide.find(L'\0') != std::wstring::npos) return std::wstring();
  return wide;
}

// Empty when a character has no code page 932 form.
std::string narrow(const std::wstring& wide) {
  if (wide.empty() || wide.size() > INT_MAX) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(kPathCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                    0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kPathCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, &text[0], n, nullptr,
                      nullptr);
  return text;
}

// The file a path leads to, by its final name: through a link, and with the
// case its name has on disk. The path itself when nothing is there; empty when
// it is a link that leads nowhere.
std::wstring linkTarget(const std::wstring& path) {
  Handle file(sys().CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD attributes = sys().GetFileAttributesW(path.c_str());
    const bool link =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    return link ? std::wstring() : path;
  }
  std::wstring final(MAX_PATH, L'\0');
  DWORD n = sys().GetFinalPathNameByHandleW(file.get(), &final[0], static_cast<DWORD>(final.size()),
                                            FILE_NAME_NORMALIZED);
  if (n >= final.size()) {
    final.resize(n);
    n = sys().GetFinalPathNameByHandleW(file.get(), &final[0], n, FILE_NAME_NORMALIZED);
  }
  if (n == 0 || n >= final.size()) return path;
  final.resize(n);
  // The plain form where it is short enough for every call.
  if (final.rfind(L"\\\\?\\UNC\\", 0) != 0 && final.rfind(L"\\\\?\\", 0) == 0 &&
      final.size() - 4 < MAX_PATH) {
    final.erase(0, 4);
  }
  return final;
}

WriteStatus statusOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return WriteStatus::FolderMissing;
    case ERROR_DIRECTORY:
      return WriteStatus::NotAFolder;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return WriteStatus::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE:
      return WriteStatus::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return WriteStatus::Busy;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return WriteStatus::NotAFile;
    default:
      return WriteStatus::IoError;
  }
}

WriteStatus lastError() { return statusOf(GetLastError()); }

// Whether an error means that another program holds the file without sharing
// it; a rename also meets one that does not share deletion as access denied.
bool isBusy(DWORD error, bool renaming) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         (renaming && error == ERROR_ACCESS_DENIED);
}

// Makes attempt until it succeeds, waiting a while (kBusyWaitMs in all) while
// another program holds the file; every step of a read or a write waits as
// long. False with the last error of the last attempt.
template <class Attempt>
bool retryWhileBusy(Attempt attempt, bool renaming) {
  const ULONGLONG start = GetTickCount64();
  DWORD pause = 1;
  for (;;) {
    if (attempt()) return true;
    const DWORD error = GetLastError();
    if (!isBusy(error, renaming) || GetTickCount64() - start >= kBusyWaitMs) {
      SetLastError(error);
      return false;
    }
    Sleep(pause);
    pause = std::min<DWORD>(pause * 2, 20);
  }
}

// The parts of a path: its folder ("." for a bare name) and the names of the
// files a write makes beside it.
struct Beside {
  std::wstring folder, temporary, aside;
};

Beside besideOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  const std::wstring prefix =
      slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  Beside b;
  b.folder = slash == std::wstring::npos             ? std::wstring(L".")
             : slash == 0 || path[slash - 1] == L':' ? prefix
                                                     : path.substr(0, slash);
  b.temporary = prefix + L"." + name + L".tmp";
  b.aside = prefix + L"." + name + L".old";
  return b;
}

bool endsInSeparator(const std::wstring& path) {
  return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

// Opens an existing disk file for reading, sharing it with every other opener.
// Folders, devices (CON) and pipes are refused, with ERROR_DIRECTORY or
// ERROR_BAD_FILE_TYPE as the last error.
HANDLE openRegularFile(const std::wstring& path) {
  if (path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE opened = INVALID_HANDLE_VALUE;
  retryWhileBusy(
      [&] {
        opened = sys().CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        return opened != INVALID_HANDLE_VALUE;
      },
      false);
  Handle file(opened);
  if (!file.valid()) {
    // A folder cannot be opened as a file; say so rather than "access denied".
    const DWORD error = GetLastError();
    const DWORD attributes = sys().GetFileAttributesW(path.c_str());
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    SetLastError(folder ? ERROR_DIRECTORY : error);
    return INVALID_HANDLE_VALUE;
  }
  const DWORD type = sys().GetFileType(file.get());
  if (type != FILE_TYPE_DISK) {
    // Unknown with an error: the call failed, and its error is the cause.
    if (type != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR) SetLastError(ERROR_BAD_FILE_TYPE);
    return INVALID_HANDLE_VALUE;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!sys().GetFileInformationByHandle(file.get(), &info)) return INVALID_HANDLE_VALUE;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    SetLastError(ERROR_DIRECTORY);
    return INVALID_HANDLE_VALUE;
  }
  return file.release();
}

// A whole file, read in order, and its size when the first buffer fills.
template <class Room>
bool readWhole(HANDLE file, size_t first, Room room, size_t& used) {
  return readBounded(
      [file](char* data, size_t n, size_t) -> int64_t {
        DWORD got = 0;
        if (!sys().ReadFile(file, data, static_cast<DWORD>(n), &got, nullptr)) return -1;
        return got;
      },
      [file]() -> int64_t {
        LARGE_INTEGER length;
        return sys().GetFileSizeEx(file, &length) ? length.QuadPart : -1;
      },
      first, room, used);
}

bool writeAll(HANDLE file, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
    DWORD wrote = 0;
    if (!sys().WriteFile(file, data.data() + done, want, &wrote, nullptr)) return false;
    if (wrote == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    done += wrote;
  }
  return true;
}

// Renames from to to, waiting a while for another program that holds one of
// them open without sharing deletion, and for a reader still reading an old
// file set aside earlier.
WriteStatus renameWaiting(const std::wstring& from, const std::wstring& to, DWORD flags) {
  if (retryWhileBusy([&] { return sys().MoveFileExW(from.c_str(), to.c_str(), flags) != 0; },
                     true)) {
    return WriteStatus::Written;
  }
  return isBusy(GetLastError(), true) ? WriteStatus::Busy : lastError();
}

// The writers' mutex of a folder. Its name comes from the folder's final path,
// so every spelling of the folder (case, separators, links) gives the same
// name; the system releases it when its holder dies.
HANDLE folderMutex(HANDLE folder) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n = sys().GetFinalPathNameByHandleW(folder, &path[0], static_cast<DWORD>(path.size()),
                                            FILE_NAME_NORMALIZED);
  if (n >= path.size()) {
    path.resize(n);
    n = sys().GetFinalPathNameByHandleW(folder, &path[0], n, FILE_NAME_NORMALIZED);
  }
  if (n == 0 || n >= path.size()) return nullptr;
  path.resize(n);
  CharUpperBuffW(&path[0], n);
  // Names are limited in length and take no '\': a hash of the path stands in.
  uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : path) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  wchar_t name[64];
  swprintf(name, 64, L"Global\\TrassoJkn.folder.%016llx", static_cast<unsigned long long>(hash));
  return sys().CreateMutexW(nullptr, FALSE, name);
}

bool exists(const std::wstring& path) {
  return sys().GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The writers' mutex of a folder, or null (last error set).
HANDLE folderMutexOf(const std::wstring& folder) {
  Handle handle(sys().CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle.valid() ? folderMutex(handle.get()) : nullptr;
}

// A file that a writer killed between its two renames left aside goes back
// to its path, once no writer of the folder is at work (holding its mutex).
void putBackAside(const std::wstring& path, const Beside& beside) {
  if (exists(path) || GetLastError() != ERROR_FILE_NOT_FOUND) return;
  const HANDLE mutex = folderMutexOf(beside.folder);
  if (mutex == nullptr) return;
  const DWORD wait = sys().WaitForSingleObject(mutex, 0);
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
    sys().MoveFileExW(beside.aside.c_str(), path.c_str(), 0);
    ReleaseMutex(mutex);
  }
  sys().CloseHandle(mutex);
}

// A regular file at path, or, when it is missing, the one a write in progress
// has just set aside (and, that one gone as well, the new file). What a killed
// writer left aside is put back first.
HANDLE openForRead(const std::wstring& path) {
  HANDLE h = openRegularFile(path);
  if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND) return h;
  const Beside beside = besideOf(path);
  putBackAside(path, beside);
  h = openRegularFile(path);
  if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND) return h;
  h = openRegularFile(beside.aside);
  if (h != INVALID_HANDLE_VALUE) return h;
  return openRegularFile(path);
}

// Why a folder that cannot be found is missing: a file where one of its
// ancestors belongs makes it no folder (as ENOTDIR does on POSIX).
WriteStatus missingFolder(std::wstring folder) {
  for (;;) {
    const size_t cut = folder.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut == 0) return WriteStatus::FolderMissing;
    folder.resize(cut);
    const DWORD attributes = sys().GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? WriteStatus::FolderMissing
                                                     : WriteStatus::NotAFolder;
    }
  }
}

class WindowsFileSystem final : public FileSystem {
 public:
  WriteStatus plan(const std::string& path, WriteTarget& t) override {
    const std::wstring wide = widen(path);
    if (wide.empty() || endsInSeparator(wide)) return WriteStatus::NotAFile;
    const Beside beside = besideOf(wide);
    const DWORD attributes = sys().GetFileAttributesW(beside.folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const WriteStatus s = lastError();
      return s == WriteStatus::FolderMissing ? missingFolder(beside.folder) : s;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return WriteStatus::NotAFolder;
    // A link is written through, as on POSIX: the file it leads to is replaced
    // and the link kept. A file keeps the case of its name.
    const std::wstring target = linkTarget(wide);
    if (target.empty()) return WriteStatus::NotAFile;
    const std::string resolved = target == wide ? path : narrow(target);
    t.path = resolved.empty() ? path : resolved;
    return WriteStatus::Written;
  }

  WriteStatus lock(WriteTarget& t) override {
    const HANDLE mutex = folderMutexOf(besideOf(widen(t.path)).folder);
    if (mutex == nullptr) return lastError();
    // An abandoned mutex is held too: its holder died, and what it left is
    // cleared by removeLeftovers.
    const DWORD wait = sys().WaitForSingleObject(mutex, INFINITE);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
      sys().CloseHandle(mutex);
      return WriteStatus::IoError;
    }
    t.lockHandle = reinterpret_cast<intptr_t>(mutex);
    return WriteStatus::Written;
  }

  void unlock(WriteTarget& t) override {
    const HANDLE mutex = reinterpret_cast<HANDLE>(t.lockHandle);
    if (mutex == nullptr) return;
    ReleaseMutex(mutex);
    sys().CloseHandle(mutex);
    t.lockHandle = 0;
  }

  void removeLeftovers(const WriteTarget& t) override {
    const std::wstring path = widen(t.path);
    const Beside beside = besideOf(path);
    sys().DeleteFileW(beside.temporary.c_str());
    // A writer killed between its two renames left the old file aside.
    if (!exists(path) && GetLastError() == ERROR_FILE_NOT_FOUND) {
      sys().MoveFileExW(beside.aside.c_str(), path.c_str(), 0);
    } else {
      sys().DeleteFileW(beside.aside.c_str());  // one still being read goes next time
    }
  }

  WriteStatus readCurrent(const WriteTarget& t, std::string& contents,
                          CurrentFile& current) override {
    Handle file(openRegularFile(widen(t.path)));
    if (!file.valid()) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND) {
        current.exists = false;
        return WriteStatus::Written;
      }
      if (error == ERROR_DIRECTORY) return WriteStatus::FileIsFolder;
      if (error == ERROR_BAD_FILE_TYPE) return WriteStatus::NotAFile;
      return statusOf(error);
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!sys().GetFileInformationByHandle(file.get(), &info)) return lastError();
    const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > kMaxFileSize) return WriteStatus::DiskFull;
    size_t used = 0;
    // Some room beyond the file, so that an edit seldom has to move it.
    if (!readWhole(
            file.get(), static_cast<size_t>(size) + 256,
            [&contents](size_t want) {
              contents.resize(want);
              return std::pair<char*, size_t>(&contents[0], want);
            },
            used)) {
      return lastError();
    }
    contents.resize(used);
    current.exists = true;
    current.mode = info.dwFileAttributes & kKeptAttributes;
    // Checked here: an administrator (and root under Wine) could replace it.
    current.locked = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? WriteStatus::ReadOnly
                                                                            : WriteStatus::Written;
    return WriteStatus::Written;
  }

  WriteStatus writeTemporary(const WriteTarget& t, const std::string& contents,
                             const CurrentFile& current) override {
    const Beside beside = besideOf(widen(t.path));
    Handle out(sys().CreateFileW(beside.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 current.mode != 0 ? current.mode : FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!out.valid()) {
      // removeLeftovers cleared a file of ours there: a folder is no file of
      // ours, and a file still there is held by another program.
      const DWORD error = GetLastError();
      const DWORD attributes = sys().GetFileAttributesW(beside.temporary.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return WriteStatus::TempBlocked;
      }
      return error == ERROR_FILE_EXISTS ? WriteStatus::Busy : statusOf(error);
    }
    if (!writeAll(out.get(), contents) || !sys().FlushFileBuffers(out.get())) return lastError();
    return out.close() ? WriteStatus::Written : lastError();
  }

  WriteStatus replace(const WriteTarget& t) override {
    const std::wstring path = widen(t.path);
    const Beside beside = besideOf(path);
    if (!exists(path)) {
      return renameWaiting(beside.temporary, path,
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    WriteStatus s = renameWaiting(path, beside.aside, MOVEFILE_REPLACE_EXISTING);
    if (!succeeded(s)) return s;
    s = renameWaiting(beside.temporary, path, MOVEFILE_WRITE_THROUGH);
    if (!succeeded(s)) {
      sys().MoveFileExW(beside.aside.c_str(), path.c_str(), 0);
      return s;
    }
    sys().DeleteFileW(beside.aside.c_str());  // a reader still in it keeps it until it closes
    return WriteStatus::Written;
  }

  // The renames were made with write-through.
  WriteStatus flushFolder(const WriteTarget&) override { return WriteStatus::Written; }

  void removeTemporary(const WriteTarget& t) override {
    sys().DeleteFileW(besideOf(widen(t.path)).temporary.c_str());
  }

  bool readFile(const std::string& path, FileBytes& out) override {
    out.setSize(0);
    Handle file(openForRead(widen(path)));
    if (!file.valid()) {
      // Held by another program past the wait: a caller that can say so does.
      if (isBusy(GetLastError(), false)) WriteReport::note(WriteStatus::Busy);
      return false;
    }
    size_t used = 0;
    const bool ok = readWhole(
        file.get(), std::max<size_t>(out.capacity(), 16384),
        [&out](size_t want) {
          char* data = out.reserve(want);
          out.setSize(out.capacity());  // what was read is kept
          return std::pair<char*, size_t>(data, out.capacity());
        },
        used);
    out.setSize(ok ? used : 0);
    return ok;
  }
};

}  // namespace

SystemCalls& systemCalls() { return sys(); }
const SystemCalls& platformSystemCalls() { return platformCalls(); }

FileSystem& platformFileSystem() {
  static WindowsFileSystem windows;
  return windows;
}

// Both separators are taken by the wide calls as they are.
void makeNative(std::string& /*path*/) {}

std::FILE* openForReading(const std::string& native) {
  Handle file(openRegularFile(widen(native)));
  if (!file.valid()) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.get()), _O_RDONLY | _O_BINARY);
  if (fd < 0) return nullptr;
  file.release();
  std::FILE* stream = _fdopen(fd, "rb");
  if (stream == nullptr) _close(fd);
  return stream;
}

WriteStatus removeFile(const std::string& native) {
  ReadSnapshot::forget();  // the file a snapshot of this thread holds may go
  const std::wstring path = widen(native);
  if (path.empty()) return WriteStatus::NotAFile;
  const DWORD attributes = sys().GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? WriteStatus::Unchanged : lastError();
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return WriteStatus::FileIsFolder;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return WriteStatus::ReadOnly;
  return sys().DeleteFileW(path.c_str()) ? WriteStatus::Written : lastError();
}

std::wstring widePath(const std::string& native) { return widen(native); }

}  // namespace trasso::fileio
