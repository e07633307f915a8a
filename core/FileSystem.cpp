// The file system steps of a settings write on POSIX. The folder's writer lock
// is flock on the folder itself; the replacement is rename(2), which readers
// never hold up.
#include "FileSystem.h"

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

#include "BoundedRead.h"
#include "ByteWords.h"
#include "CodePage932.h"
#include "ReadSnapshot.h"
#include "SystemCalls.h"

namespace trasso::fileio {
namespace {

constexpr SystemCalls kPlatformCalls = {
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    &::close,
    &::pread,
    &::write,
    &::fsync,
    [](int fd, struct stat* st) { return ::fstat(fd, st); },
    [](const char* path, struct stat* st) { return ::stat(path, st); },
    [](const char* path, struct stat* st) { return ::lstat(path, st); },
    [](const char* path, char* resolved) { return ::realpath(path, resolved); },
    &::access,
    &::fchmod,
    &::fchown,
    &::flock,
    &::rename,
    &::unlink,
};
SystemCalls calls = kPlatformCalls;

// Closes a descriptor when it leaves scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) calls.close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes now and reports whether close succeeded (it can report write errors).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || calls.close(fd) == 0;
  }

 private:
  int fd_;
};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = calls.open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// The cause an errno names for a write.
WriteStatus statusOf(int error) {
  switch (error) {
    case ENOENT:
      return WriteStatus::FolderMissing;
    case ENOTDIR:
      return WriteStatus::NotAFolder;
    case EISDIR:
      return WriteStatus::FileIsFolder;
    case ELOOP:
    case ENXIO:
    case ENODEV:
    case ESPIPE:
      return WriteStatus::NotAFile;
    case EACCES:
    case EPERM:
    case EROFS:
      return WriteStatus::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return WriteStatus::DiskFull;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
      return WriteStatus::Busy;
    default:
      return WriteStatus::IoError;
  }
}

WriteStatus lastError() { return statusOf(errno); }

bool hasWriteBits(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// What stands at a path that is not (or not yet) a file: the folder decides.
WriteStatus folderStatus(const std::string& folder) {
  struct stat st {};
  if (calls.stat(folder.c_str(), &st) != 0) return lastError();
  return S_ISDIR(st.st_mode) ? WriteStatus::Written : WriteStatus::NotAFolder;
}

// A whole file through pread (pipes and terminals refuse it) and fstat (a
// device refuses to be a regular file); -1 with errno when it cannot be read.
template <class Room>
ssize_t readWhole(int fd, size_t first, Room room) {
  size_t used = 0;
  const bool ok = readBounded(
      [fd](char* data, size_t n, size_t offset) -> int64_t {
        ssize_t got;
        do {
          got = calls.pread(fd, data, n, static_cast<off_t>(offset));
        } while (got < 0 && errno == EINTR);
        return got;
      },
      [fd]() -> int64_t {
        struct stat st {};
        if (calls.fstat(fd, &st) != 0) return -1;
        if (S_ISREG(st.st_mode)) return st.st_size;
        errno = ESPIPE;
        return -1;
      },
      first, room, used);
  return ok ? static_cast<ssize_t>(used) : -1;
}

bool writeAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = calls.write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

int fsyncRetrying(int fd) {
  int rc;
  do {
    rc = calls.fsync(fd);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

class PosixFileSystem final : public FileSystem {
 public:
  WriteStatus plan(const std::string& path, WriteTarget& t) override {
    if (path.empty() || path.back() == '/') return WriteStatus::NotAFile;
    t.path = path;
    struct stat st {};
    if (calls.lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      char* resolved = calls.realpath(path.c_str(), nullptr);
      if (resolved == nullptr) return errno == ENOENT ? WriteStatus::NotAFile : lastError();
      t.path = resolved;
      std::free(resolved);
    }
    const size_t slash = t.path.rfind('/');
    t.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : t.path.substr(0, slash);
    t.temporary = t.path.substr(0, slash + 1) + "." + t.path.substr(slash + 1) + ".tmp";
    return folderStatus(t.folder);
  }

  WriteStatus lock(WriteTarget& t) override {
    const int folder = openRetrying(t.folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folder < 0) return lastError();
    t.folderHandle = folder;
    int rc;
    do {
      rc = calls.flock(folder, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? WriteStatus::Written : lastError();
  }

  void unlock(WriteTarget& t) override {
    if (t.folderHandle >= 0) calls.close(static_cast<int>(t.folderHandle));  // drops the flock
    t.folderHandle = -1;
  }

  void removeLeftovers(const WriteTarget& t) override { calls.unlink(t.temporary.c_str()); }

  WriteStatus readCurrent(const WriteTarget& t, std::string& contents,
                          CurrentFile& current) override {
    Fd fd(openRetrying(t.path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) {
      if (errno != ENOENT) return lastError();
      current.exists = false;
      return WriteStatus::Written;
    }
    struct stat st {};
    if (calls.fstat(fd.get(), &st) != 0) return lastError();
    if (S_ISDIR(st.st_mode)) return WriteStatus::FileIsFolder;
    if (!S_ISREG(st.st_mode)) return WriteStatus::NotAFile;
    if (static_cast<uint64_t>(st.st_size) > kMaxFileSize) return WriteStatus::DiskFull;
    // The permission bits decide, also for root, who could write anyway.
    current.locked = WriteStatus::Written;
    if (!hasWriteBits(st.st_mode)) {
      current.locked = WriteStatus::ReadOnly;
    } else if (::geteuid() != 0 && calls.access(t.path.c_str(), W_OK) != 0) {
      current.locked = lastError();
    }
    // Some room beyond the file, so that an edit seldom has to move it.
    const ssize_t n =
        readWhole(fd.get(), static_cast<size_t>(st.st_size) + 256, [&contents](size_t want) {
          contents.resize(want);
          return std::pair<char*, size_t>(&contents[0], want);
        });
    if (n < 0) return lastError();
    contents.resize(static_cast<size_t>(n));
    current.exists = true;
    current.mode = static_cast<uint32_t>(st.st_mode & 07777);
    current.owner = static_cast<uint32_t>(st.st_uid);
    current.group = static_cast<uint32_t>(st.st_gid);
    return WriteStatus::Written;
  }

  WriteStatus writeTemporary(const WriteTarget& t, const std::string& contents,
                             const CurrentFile& current) override {
    const mode_t mode = current.exists ? static_cast<mode_t>(current.mode) : 0666;
    Fd out(openRetrying(t.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, mode));
    // removeLeftovers cleared any file there: what is left is no file of ours.
    if (!out.valid()) return errno == EEXIST ? WriteStatus::TempBlocked : lastError();
    // open() applied the umask; the new file takes exactly the old mode and owner.
    if (current.exists) {
      if (calls.fchmod(out.get(), mode) != 0) return lastError();
      if (::geteuid() == 0) (void)calls.fchown(out.get(), current.owner, current.group);
    }
    if (!writeAll(out.get(), contents) || fsyncRetrying(out.get()) != 0) return lastError();
    return out.close() ? WriteStatus::Written : lastError();
  }

  WriteStatus replace(const WriteTarget& t) override {
    return calls.rename(t.temporary.c_str(), t.path.c_str()) == 0 ? WriteStatus::Written
                                                                  : lastError();
  }

  WriteStatus flushFolder(const WriteTarget& t) override {
    return fsyncRetrying(static_cast<int>(t.folderHandle)) == 0 ? WriteStatus::Written
                                                                : lastError();
  }

  void removeTemporary(const WriteTarget& t) override { calls.unlink(t.temporary.c_str()); }

  bool readFile(const std::string& path, FileBytes& out) override {
    out.setSize(0);
    // O_NONBLOCK: opening a pipe named as a settings file must not wait for a writer.
    Fd fd(openRetrying(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) return false;
    // The buffer left by the previous read usually holds the file in one read.
    const ssize_t n =
        readWhole(fd.get(), std::max<size_t>(out.capacity(), 16384), [&out](size_t want) {
          char* data = out.reserve(want);
          out.setSize(out.capacity());  // what was read is kept
          return std::pair<char*, size_t>(data, out.capacity());
        });
    out.setSize(n < 0 ? 0 : static_cast<size_t>(n));
    return n >= 0;
  }
};

}  // namespace

SystemCalls& systemCalls() { return calls; }
const SystemCalls& platformSystemCalls() { return kPlatformCalls; }

FileSystem& platformFileSystem() {
  static PosixFileSystem posix;
  return posix;
}

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

std::FILE* openForReading(const std::string& native) {
  Fd fd(openRetrying(native.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
  struct stat st {};
  if (!fd.valid() || calls.fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  // Reads of the stream block as usual.
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;
  std::FILE* stream = ::fdopen(fd.get(), "rb");
  if (stream != nullptr) (void)fd.release();  // the stream owns it now
  return stream;
}

WriteStatus removeFile(const std::string& native) {
  ReadSnapshot::forget();  // the file a snapshot of this thread holds may go
  struct stat st {};
  if (calls.lstat(native.c_str(), &st) != 0) {
    return errno == ENOENT ? WriteStatus::Unchanged : lastError();
  }
  if (S_ISDIR(st.st_mode)) return WriteStatus::FileIsFolder;
  if (S_ISREG(st.st_mode) && !hasWriteBits(st.st_mode)) return WriteStatus::ReadOnly;
  return calls.unlink(native.c_str()) == 0 ? WriteStatus::Written : lastError();
}

}  // namespace trasso::fileio
