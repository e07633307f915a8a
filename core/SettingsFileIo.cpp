#include "SettingsFileIo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>

#include "ByteWords.h"
#include "CodePage932.h"

namespace trasso::fileio {
namespace {

// Closes a descriptor when it leaves scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now and reports whether close succeeded (it can report write errors).
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Reads an open file whole into the buffer that room(n) gives: at least n
// bytes, keeping those read so far; room returns the pointer and its size. A
// regular file reads short only at its end, so a buffer larger than the file
// takes it in one read; a file that fills the buffer gets one twice as large.
// Returns the bytes read, or -1 when the file cannot be read (a folder).
template <class Room>
ssize_t readAll(int fd, size_t expected, Room room) {
  size_t used = 0;
  auto [data, size] = room(expected + 1);
  for (;;) {
    const ssize_t n = ::read(fd, data + used, size - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    used += static_cast<size_t>(n);
    if (used < size) return static_cast<ssize_t>(used);
    std::tie(data, size) = room(size * 2);
  }
}

bool writeAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

int fsyncRetrying(int fd) {
  int rc;
  do {
    rc = ::fsync(fd);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

// The file a path finally names: a symbolic link is resolved; a path that does
// not exist (yet) is taken as it is. Empty when a link cannot be resolved.
std::string resolveTarget(const std::string& native) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return native;
  char* resolved = ::realpath(native.c_str(), nullptr);
  if (resolved == nullptr) return std::string();
  std::string target(resolved);
  std::free(resolved);
  return target;
}

}  // namespace

void makeNative(std::string& out) {
  char* bytes = out.data();
  const size_t size = out.size();
  size_t i = 0;
  // Eight ASCII bytes at a time, up to the first byte that may start a
  // double-byte character (whose second byte may be '\\').
  for (; i + 8 <= size; i += 8) {
    const uint64_t word = words::load(bytes + i);
    if ((word & words::kHighs) != 0) break;
    words::store(bytes + i, word ^ (words::bytesEqual(word, '\\') >> 7) * ('\\' ^ '/'));
  }
  for (; i < size; ++i) {
    if (cp932::isLeadByte(bytes[i]) && i + 1 < size) {
      ++i;
    } else if (bytes[i] == '\\') {
      bytes[i] = '/';
    }
  }
}

bool readFile(const std::string& native, FileBytes& out) {
  out.setSize(0);
  // O_NONBLOCK: a FIFO or device named as a settings file must not hang a getter.
  Fd fd(openRetrying(native.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) return false;
  // The buffer left by the previous read usually holds the file: no fstat then.
  auto room = [&out, &fd](size_t want) {
    struct stat st {};
    if (out.size() > 0 && ::fstat(fd.get(), &st) == 0 && static_cast<size_t>(st.st_size) >= want) {
      want = static_cast<size_t>(st.st_size) + 4096;  // full: the size says how much is needed
    }
    char* data = out.reserve(want);
    out.setSize(out.capacity());  // asked again only when full: all of it is kept
    return std::pair<char*, size_t>(data, out.capacity());
  };
  const ssize_t n = readAll(fd.get(), std::max<size_t>(out.capacity(), 16384) - 1, room);
  out.setSize(n < 0 ? 0 : static_cast<size_t>(n));
  return n >= 0;
}

bool replaceFile(const std::string& native,
                 const std::function<EditResult(std::string& contents, bool exists)>& edit) {
  const std::string target = resolveTarget(native);
  if (target.empty() || target.back() == '/') return false;
  const size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : (slash == 0 ? "/" : target.substr(0, slash));
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  const std::string temp =
      (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + name +
      ".tmp";

  Fd folderFd(openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (!folderFd.valid()) return false;
  int rc;
  do {
    rc = ::flock(folderFd.get(), LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) return false;

  // Whatever a killed writer left behind goes first.
  ::unlink(temp.c_str());

  std::string contents;
  bool exists = false;
  struct stat old {};
  Fd current(openRetrying(target.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
  if (current.valid()) {
    if (::fstat(current.get(), &old) != 0 || !S_ISREG(old.st_mode)) return false;
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    if (::geteuid() != 0 && ::access(target.c_str(), W_OK) != 0) return false;
    // Some room beyond the file, so that an edit seldom has to move it.
    const ssize_t n =
        readAll(current.get(), static_cast<size_t>(old.st_size) + 256, [&contents](size_t want) {
          contents.resize(want);
          return std::pair<char*, size_t>(&contents[0], contents.size());
        });
    if (n < 0) return false;
    contents.resize(static_cast<size_t>(n));
    current.reset();
    exists = true;
  } else if (errno != ENOENT) {
    return false;
  }

  switch (edit(contents, exists)) {
    case EditResult::Unchanged:
      return true;
    case EditResult::Refused:
      return false;
    case EditResult::Changed:
      break;
  }

  const mode_t mode = exists ? (old.st_mode & 07777) : 0666;
  Fd out(openRetrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, mode));
  if (!out.valid()) return false;
  bool ok = true;
  if (exists) {
    // open() applied the umask; give the new file exactly the old mode and owner.
    ok = ::fchmod(out.get(), mode) == 0;
    if (ok && ::geteuid() == 0) (void)::fchown(out.get(), old.st_uid, old.st_gid);
  }
  ok = ok && writeAll(out.get(), contents) && fsyncRetrying(out.get()) == 0;
  ok = out.close() && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  (void)fsyncRetrying(folderFd.get());
  return true;
}

std::FILE* openForReading(const std::string& native) { return std::fopen(native.c_str(), "rb"); }

void removeFile(const std::string& native) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0) return;
  if (S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return;
  ::unlink(native.c_str());
}

}  // namespace trasso::fileio
