// FileWatcher on inotify. The descriptor is an epoll set of the inotify
// descriptor and an eventfd that stands for changes already taken but not
// yet given, so that one poll covers both.
#include "FileWatcher.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace trasso::fileio {

namespace {

// What a watched folder reports: a file closed after writing, renamed in or
// out, or removed; a folder made or renamed in (on the way to a missing
// folder); the folder itself going away.
constexpr uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE |
                           IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string systemError(const char* what) {
  return std::string(what) + " failed: " + std::strerror(errno);
}

}  // namespace

struct FileWatcher::State {
  struct File {
    std::string folder;
    std::string name;
    int wd = -1;           // the watch it is seen by
    std::string watching;  // the folder of that watch: its own, or one above
  };
  int inotify = -1;
  int pending = -1;  // eventfd
  int epoll = -1;
  bool pendingSet = false;
  std::vector<File> files;

  ~State() {
    for (const int fd : {epoll, pending, inotify}) {
      if (fd >= 0) ::close(fd);
    }
  }

  // Watches the nearest existing folder of file i, again until none nearer
  // was made meanwhile. False: the system refused a watch.
  bool place(size_t i) {
    File& f = files[i];
    for (;;) {
      std::string folder = f.folder;
      while (!isFolder(folder) && folder != "/" && folder != ".") folder = parentOf(folder);
      const int wd = ::inotify_add_watch(inotify, folder.c_str(), kMask);
      if (wd < 0) {
        // Gone meanwhile: look again.
        if ((errno == ENOENT || errno == ENOTDIR) && folder != "/") continue;
        return false;
      }
      const int old = f.wd;
      f.wd = wd;
      f.watching = folder;
      if (old >= 0 && old != wd) release(old);
      if (folder == f.folder) return true;
      // A folder made between the look and the watch has no notice of its own.
      std::string nearer = f.folder;
      while (nearer != folder && !isFolder(nearer)) nearer = parentOf(nearer);
      if (nearer == folder) return true;
    }
  }

  // Stops a watch no file is seen by any more.
  void release(int wd) {
    for (const File& f : files) {
      if (f.wd == wd) return;
    }
    ::inotify_rm_watch(inotify, wd);
  }

  // Takes the notices waiting and adds the files they concern to out.
  void drain(std::set<size_t>& out) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(inotify, buffer, sizeof buffer);
      if (n <= 0) return;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        notice(*e, out);
      }
    }
  }

  void notice(const inotify_event& e, std::set<size_t>& out) {
    const bool lost = (e.mask & IN_Q_OVERFLOW) != 0;
    const bool folderGone = (e.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0;
    const char* name = e.len > 0 ? e.name : "";
    for (size_t i = 0; i < files.size(); ++i) {
      File& f = files[i];
      if (!lost && f.wd != e.wd) continue;
      const bool above = f.watching != f.folder;
      if (lost || folderGone || (above && (e.mask & IN_ISDIR) != 0)) {
        // The folder went, or one on the way to it came: watch the nearest again.
        if (e.mask & IN_IGNORED) f.wd = -1;
        place(i);
        out.insert(i);
      } else if (!above && f.name == name &&
                 (e.mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE)) != 0) {
        out.insert(i);
      }
    }
  }
};

FileWatcher::FileWatcher() : state_(new State) {
  State& s = *state_;
  s.inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  s.pending = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  s.epoll = ::epoll_create1(EPOLL_CLOEXEC);
  if (s.inotify < 0 || s.pending < 0 || s.epoll < 0) {
    error_ = systemError("inotify_init1, eventfd or epoll_create1");
    return;
  }
  for (const int fd : {s.inotify, s.pending}) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    if (::epoll_ctl(s.epoll, EPOLL_CTL_ADD, fd, &ev) != 0) error_ = systemError("epoll_ctl");
  }
}

FileWatcher::~FileWatcher() = default;

bool FileWatcher::add(const std::string& native) {
  State& s = *state_;
  const size_t slash = native.find_last_of('/');
  State::File f;
  f.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : native.substr(0, slash);
  f.name = slash == std::string::npos ? native : native.substr(slash + 1);
  s.files.push_back(std::move(f));
  if (s.place(s.files.size() - 1)) return true;
  error_ = systemError(("inotify_add_watch of the folders of " + native).c_str());
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
    pollfd p{s.inotify, POLLIN, 0};
    if (::poll(&p, 1, wait) == 0) break;
  }
  return std::vector<size_t>(out.begin(), out.end());
}

intptr_t FileWatcher::descriptor() const { return state_->epoll; }

void FileWatcher::setPending(bool pending) {
  State& s = *state_;
  if (pending == s.pendingSet) return;
  uint64_t count = 1;
  const ssize_t n =
      pending ? ::write(s.pending, &count, sizeof count) : ::read(s.pending, &count, sizeof count);
  s.pendingSet = pending && n == sizeof count;
}

}  // namespace trasso::fileio
