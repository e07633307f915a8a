// Windows form of the settings file layer. Paths are code page 932 texts,
// turned into wide text so that only the wide calls are made and nothing
// depends on the machine's code page.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include "SettingsFileIo.h"

namespace trasso::fileio {
namespace {

constexpr UINT kPathCodePage = 932;
// How long a replace waits for other programs to close the file.
constexpr DWORD kReplaceWaitMs = 2000;

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
    return h == INVALID_HANDLE_VALUE || h == nullptr || CloseHandle(h) != 0;
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

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a regular disk file for reading, sharing it with every other opener.
// Folders, devices (CON) and pipes are taken as missing. The error of the
// open is kept for the caller.
HANDLE openRegularFile(const std::wstring& path) {
  if (path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return INVALID_HANDLE_VALUE;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return file.release();
}

// Reads an open file whole into out: one read when the buffer holds it, a
// buffer twice as large when a read fills it.
bool readAll(HANDLE file, FileBytes& out, size_t room) {
  size_t used = 0;
  char* data = out.reserve(room);
  for (;;) {
    const size_t want = std::min<size_t>(out.capacity() - used, 1u << 30);
    DWORD got = 0;
    if (!ReadFile(file, data + used, static_cast<DWORD>(want), &got, nullptr)) return false;
    used += got;
    if (got < want) break;
    if (used == out.capacity()) {
      out.setSize(used);
      data = out.reserve(out.capacity() * 2);
    }
  }
  out.setSize(used);
  return true;
}

// Writers of one folder take this mutex. Its name comes from the folder's final
// path, so every spelling of the folder (case, separators, links) gives the
// same name; the system releases it when its holder dies.
class FolderLock {
 public:
  explicit FolderLock(HANDLE folder) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(folder, &path[0], static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED);
    if (n >= path.size()) {
      path.resize(n);
      n = GetFinalPathNameByHandleW(folder, &path[0], n, FILE_NAME_NORMALIZED);
    }
    if (n == 0 || n >= path.size()) return;
    path.resize(n);
    CharUpperBuffW(&path[0], n);
    // Names are limited in length and take no '\': a hash of the path stands in.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : path) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    wchar_t name[64];
    swprintf(name, 64, L"Global\\TrassoJkn.folder.%016llx", static_cast<unsigned long long>(hash));
    mutex_ = CreateMutexW(nullptr, FALSE, name);
    if (mutex_ == nullptr) return;
    // An abandoned mutex is held too: its holder died, and the temporary file it
    // may have left is removed below.
    const DWORD wait = WaitForSingleObject(mutex_, INFINITE);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~FolderLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool held() const { return held_; }

 private:
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

bool writeAll(HANDLE file, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(file, data.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return true;
}

// Renames the temporary file over the target. Another program that holds the
// target open without sharing deletion makes this fail for a while: retried
// for a bounded time.
bool replaceWithRetries(const std::wstring& temp, const std::wstring& target) {
  const ULONGLONG start = GetTickCount64();
  DWORD pause = 1;
  for (;;) {
    if (MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
        error != ERROR_LOCK_VIOLATION) {
      return false;
    }
    if (GetTickCount64() - start >= kReplaceWaitMs) return false;
    Sleep(pause);
    pause = std::min<DWORD>(pause * 2, 50);
  }
}

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

bool replaceFile(const std::string& native,
                 const std::function<EditResult(std::string& contents, bool exists)>& edit) {
  const std::wstring target = widen(native);
  const size_t slash = target.find_last_of(L"\\/");
  if (target.empty() || slash == target.size() - 1) return false;
  const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".")
                              : slash == 0 || target[slash - 1] == L':'
                                  ? target.substr(0, slash + 1)
                                  : target.substr(0, slash);
  const std::wstring temp =
      (slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1)) + L"." +
      target.substr(slash + 1) + L".tmp";

  Handle folderHandle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION folderInfo;
  if (!folderHandle.valid() || !GetFileInformationByHandle(folderHandle.get(), &folderInfo) ||
      (folderInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  const FolderLock lock(folderHandle.get());
  if (!lock.held()) return false;

  // Whatever a killed writer left behind goes first.
  DeleteFileW(temp.c_str());

  std::string contents;
  bool exists = false;
  DWORD attributes = 0;
  {
    Handle current(openRegularFile(target));
    if (current.valid()) {
      BY_HANDLE_FILE_INFORMATION info;
      if (!GetFileInformationByHandle(current.get(), &info)) return false;
      // Checked here: an administrator (and root under Wine) could replace it.
      if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
      attributes = info.dwFileAttributes & kKeptAttributes;
      FileBytes bytes;
      const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
      // Some room beyond the file, so that an edit seldom has to move it.
      if (!readAll(current.get(), bytes, static_cast<size_t>(size) + 256)) return false;
      contents.reserve(bytes.view().size() + 256);
      contents.assign(bytes.view());
      exists = true;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      return false;
    }
  }

  switch (edit(contents, exists)) {
    case EditResult::Unchanged:
      return true;
    case EditResult::Refused:
      return false;
    case EditResult::Changed:
      break;
  }

  Handle out(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.valid()) return false;
  bool ok = writeAll(out.get(), contents) && FlushFileBuffers(out.get());
  ok = out.close() && ok;
  ok = ok && replaceWithRetries(temp, target);
  if (!ok) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

// Both separators are taken by the wide calls as they are.
void makeNative(std::string& /*path*/) {}

bool readFile(const std::string& native, FileBytes& out) {
  out.setSize(0);
  Handle file(openRegularFile(widen(native)));
  if (!file.valid()) return false;
  if (readAll(file.get(), out, std::max<size_t>(out.capacity(), 16384))) return true;
  out.setSize(0);
  return false;
}

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

void removeFile(const std::string& native) {
  const std::wstring path = widen(native);
  if (path.empty()) return;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return;
  }
  DeleteFileW(path.c_str());
}

}  // namespace trasso::fileio
