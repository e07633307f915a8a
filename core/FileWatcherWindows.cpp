// FileWatcher on ReadDirectoryChangesW: one overlapped read of notices per
// watched folder, all completing into one manual-reset event, which is the
// descriptor and is also set while changes wait to be taken.
#include <windows.h>

#include <map>
#include <set>

#include "FileSystem.h"
#include "FileWatcher.h"

namespace trasso::fileio {

namespace {

// A file renamed in or out, made, removed or written; a folder made or
// renamed (on the way to a missing folder).
constexpr DWORD kNotices =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;
// Notices of an editor's write come one by one: the file is read once they
// stop for this long (at most kSettleRounds times), not half written.
constexpr DWORD kSettleMs = 15;
constexpr int kSettleRounds = 10;

bool isFolder(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring parentOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0) return std::wstring();
  // "C:\" keeps its separator.
  return slash == 2 && path[1] == L':' ? path.substr(0, 3) : path.substr(0, slash);
}

bool sameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::string systemError(const std::string& what) {
  return what + " failed (Windows error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

struct FileWatcher::State {
  struct Folder {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    alignas(DWORD) char notices[16384];
  };
  struct File {
    std::wstring folder;
    std::wstring name;
    std::wstring watching;  // its folder, or the nearest existing one above
  };
  HANDLE event = nullptr;
  std::vector<File> files;
  std::map<std::wstring, std::unique_ptr<Folder>> folders;

  ~State() {
    for (auto& [path, f] : folders) stop(*f);
    if (event != nullptr) CloseHandle(event);
  }

  void stop(Folder& f) {
    if (f.handle == INVALID_HANDLE_VALUE) return;
    CancelIo(f.handle);
    DWORD ignored = 0;
    GetOverlappedResult(f.handle, &f.overlapped, &ignored, TRUE);
    CloseHandle(f.handle);
    f.handle = INVALID_HANDLE_VALUE;
  }

  bool listen(Folder& f) {
    f.overlapped = OVERLAPPED{};
    f.overlapped.hEvent = event;
    return ReadDirectoryChangesW(f.handle, f.notices, sizeof f.notices, FALSE, kNotices, nullptr,
                                 &f.overlapped, nullptr) != 0;
  }

  // Watches folder path (once for all files in it). False: refused.
  bool watch(const std::wstring& path) {
    if (folders.count(path) != 0) return true;
    auto f = std::make_unique<Folder>();
    f->handle = CreateFileW(
        path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (f->handle == INVALID_HANDLE_VALUE) return false;
    if (!listen(*f)) {
      CloseHandle(f->handle);
      return false;
    }
    folders.emplace(path, std::move(f));
    return true;
  }

  // Watches the nearest existing folder of file i, again until none nearer
  // was made meanwhile.
  bool place(size_t i) {
    File& f = files[i];
    for (;;) {
      std::wstring folder = f.folder;
      while (!folder.empty() && !isFolder(folder)) folder = parentOf(folder);
      if (folder.empty() || !watch(folder)) return false;
      f.watching = folder;
      if (folder == f.folder) return true;
      std::wstring nearer = f.folder;
      while (nearer != folder && !isFolder(nearer)) nearer = parentOf(nearer);
      if (nearer == folder) return true;
    }
  }

  // Stops the watches no file is seen by any more.
  void release() {
    for (auto it = folders.begin(); it != folders.end();) {
      bool used = false;
      for (const File& f : files) used = used || f.watching == it->first;
      if (used) {
        ++it;
        continue;
      }
      stop(*it->second);
      it = folders.erase(it);
    }
  }

  // Takes the notices of the folders whose reads completed; adds the files
  // they concern to out.
  void drain(std::set<size_t>& out) {
    ResetEvent(event);
    std::set<std::wstring> gone;
    for (auto& [path, f] : folders) {
      if (!HasOverlappedIoCompleted(&f->overlapped)) continue;
      DWORD bytes = 0;
      const bool read = GetOverlappedResult(f->handle, &f->overlapped, &bytes, FALSE) != 0;
      // No notices (too many for the buffer): every file of the folder may have changed.
      for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].watching == path && (!read || bytes == 0)) out.insert(i);
      }
      for (DWORD at = 0; read && bytes > 0;) {
        const auto* n = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(f->notices + at);
        notice(path, std::wstring(n->FileName, n->FileNameLength / sizeof(WCHAR)), out);
        if (n->NextEntryOffset == 0) break;
        at += n->NextEntryOffset;
      }
      if (!read || !listen(*f)) gone.insert(path);  // the folder went away
    }
    for (const std::wstring& path : gone) {
      stop(*folders[path]);
      folders.erase(path);
      for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].watching == path) {
          place(i);
          out.insert(i);
        }
      }
    }
    release();
  }

  void notice(const std::wstring& folder, const std::wstring& name, std::set<size_t>& out) {
    for (size_t i = 0; i < files.size(); ++i) {
      File& f = files[i];
      if (f.watching != folder) continue;
      if (f.watching != f.folder) {
        // Something came above a missing folder: perhaps a folder on the way.
        if (place(i) && f.watching != folder) out.insert(i);
      } else if (sameName(name, f.name)) {
        out.insert(i);
      }
    }
  }

  void signalIfDone() {
    for (auto& [path, f] : folders) {
      if (HasOverlappedIoCompleted(&f->overlapped)) SetEvent(event);
    }
  }
};

FileWatcher::FileWatcher() : state_(new State) {
  state_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (state_->event == nullptr) error_ = systemError("CreateEventW");
}

FileWatcher::~FileWatcher() = default;

bool FileWatcher::add(const std::string& native) {
  State& s = *state_;
  const std::wstring path = widePath(native);
  const size_t slash = path.find_last_of(L"\\/");
  if (path.empty() || slash == std::wstring::npos) {
    error_ = "no folder in the path of " + native;
    return false;
  }
  s.files.push_back(State::File{path.substr(0, slash), path.substr(slash + 1), {}});
  if (s.place(s.files.size() - 1)) return true;
  error_ = systemError("ReadDirectoryChangesW on the folders of " + native);
  s.files.pop_back();
  return false;
}

std::vector<size_t> FileWatcher::changed(int32_t timeoutMs) {
  State& s = *state_;
  const Deadline deadline(timeoutMs);
  std::set<size_t> out;
  for (int32_t wait = timeoutMs;; wait = deadline.left()) {
    s.drain(out);
    if (!out.empty() || wait == 0) break;
    if (WaitForSingleObject(s.event, wait < 0 ? INFINITE : static_cast<DWORD>(wait)) !=
        WAIT_OBJECT_0) {
      break;
    }
  }
  for (int round = 0; !out.empty() && round < kSettleRounds; ++round) {
    if (WaitForSingleObject(s.event, kSettleMs) != WAIT_OBJECT_0) break;
    s.drain(out);
  }
  return std::vector<size_t>(out.begin(), out.end());
}

intptr_t FileWatcher::descriptor() const { return reinterpret_cast<intptr_t>(state_->event); }

void FileWatcher::setPending(bool pending) {
  State& s = *state_;
  if (pending) {
    SetEvent(s.event);
  } else {
    // A read completed meanwhile keeps it set.
    ResetEvent(s.event);
    s.signalIfDone();
  }
}

}  // namespace trasso::fileio
