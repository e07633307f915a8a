// The write algorithm, written once for every platform, and what both
// platforms share.
#include "SettingsFileIo.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <utility>

#include "ReadSnapshot.h"
#include "WriteBatch.h"

namespace trasso {

const char* statusText(WriteStatus s) {
  switch (s) {
#define JKN_WRITE_STATUS(name, cName, number, text, meaning, cause, remedy) \
  case WriteStatus::name:                                                   \
    return text;
#define JKN_CALL_STATUS(cName, number, text, meaning)
#include "Statuses.def"
  }
  return "unknown";
}

namespace {
thread_local WriteReport* innermostReport = nullptr;
}  // namespace

WriteReport::WriteReport() : outer_(innermostReport) { innermostReport = this; }
// What a scope gathered is also the enclosing scope's: a C function's report
// inside a caller's reaches the caller.
WriteReport::~WriteReport() {
  innermostReport = outer_;
  if (outer_ != nullptr) outer_->status_ = combine(outer_->status_, status_);
}

WriteStatus WriteReport::note(WriteStatus s) {
  if (innermostReport != nullptr) {
    innermostReport->status_ = combine(innermostReport->status_, s);
  }
  return s;
}

namespace fileio {
namespace {

std::atomic<FileSystem*> current{nullptr};

// Releases the folder's writer lock however the write ends.
class LockHold {
 public:
  LockHold(FileSystem& fs, WriteTarget& t) : fs_(fs), t_(t) {}
  ~LockHold() { fs_.unlock(t_); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  FileSystem& fs_;
  WriteTarget& t_;
};

WriteStatus update(FileSystem& fs, const std::string& native, const Edit& edit,
                   bool removeIfEmptied) {
  WriteTarget target;
  WriteStatus s = fs.plan(native, target);
  if (!succeeded(s)) return s;
  s = fs.lock(target);
  if (!succeeded(s)) return s;
  const LockHold hold(fs, target);

  fs.removeLeftovers(target);
  std::string contents;
  CurrentFile currentFile;
  s = fs.readCurrent(target, contents, currentFile);
  if (!succeeded(s)) return s;
  s = edit(contents, currentFile.exists);
  if (s != WriteStatus::Written) return s;
  if (!succeeded(currentFile.locked)) return currentFile.locked;
  if (contents.size() > kMaxFileSize) return WriteStatus::DiskFull;
  if (removeIfEmptied && contents.empty()) {
    return currentFile.exists ? removeFile(target.path) : WriteStatus::Unchanged;
  }

  s = fs.writeTemporary(target, contents, currentFile);
  if (succeeded(s)) s = fs.replace(target);
  if (!succeeded(s)) {
    fs.removeTemporary(target);
    return s;
  }
  // The new file is in place and seen by every reader; a folder that cannot
  // be flushed leaves it so, so the write is not reported as failed.
  (void)fs.flushFolder(target);
  return WriteStatus::Written;
}

}  // namespace

FileSystem& fileSystem() {
  FileSystem* fs = current.load(std::memory_order_acquire);
  return fs != nullptr ? *fs : platformFileSystem();
}

FileSystem* useFileSystem(FileSystem* fs) {
  FileSystem* before = current.exchange(fs, std::memory_order_acq_rel);
  return before != nullptr ? before : &platformFileSystem();
}

char* FileBytes::reserve(size_t n) {
  if (n > capacity_) {
    std::unique_ptr<char[]> larger(new char[n]);
    if (size_ > 0) std::memcpy(larger.get(), data_.get(), size_);
    data_ = std::move(larger);
    capacity_ = n;
  }
  return data_.get();
}

void FileBytes::shrink(size_t n) {
  n = std::max(n, size_);
  if (n >= capacity_) return;
  std::unique_ptr<char[]> smaller(new char[n]);
  if (size_ > 0) std::memcpy(smaller.get(), data_.get(), size_);
  data_ = std::move(smaller);
  capacity_ = n;
}

bool readFile(const std::string& native, FileBytes& out) {
  if (WriteBatch* batch = WriteBatch::collecting()) {
    if (const std::optional<bool> exists = batch->read(native, out)) return *exists;
  }
  const bool read = fileSystem().readFile(native, out);
  // A thread does not keep for good what a far larger file (an oversized one
  // cut at kMaxFileSize) grew its buffer to.
  if (out.capacity() > kKeptReadBuffer && out.size() < out.capacity() / 8) {
    out.shrink(out.size());
  }
  return read;
}

namespace {

WriteStatus updateOrCollect(const std::string& native, const Edit& edit, bool removeIfEmptied,
                            const std::vector<ini::Assignment>* assignments = nullptr) {
  WriteStatus s;
  try {
    WriteBatch* batch = WriteBatch::collecting();
    s = batch != nullptr ? batch->collect(native, edit, assignments)
                         : update(fileSystem(), native, edit, removeIfEmptied);
  } catch (...) {  // out of memory: nothing was replaced, so nothing changed
    s = WriteStatus::IoError;
  }
  if (s == WriteStatus::Written) ReadSnapshot::forget();
  return WriteReport::note(s);
}

}  // namespace

WriteStatus updateFile(const std::string& native, const Edit& edit) {
  return updateOrCollect(native, edit, false);
}

WriteStatus updateOrRemoveFile(const std::string& native, const Edit& edit) {
  return updateOrCollect(native, edit, true);
}

WriteStatus assignKeys(const std::string& native, const Edit& edit,
                       const std::vector<ini::Assignment>& assignments) {
  return updateOrCollect(native, edit, false, &assignments);
}

bool isWriteLeftover(std::string_view name, std::string* target) {
  // ".<name>.tmp"; on Windows also ".<name>.old", the old file set aside.
#ifdef _WIN32
  constexpr std::string_view kSuffixes[] = {".tmp", ".old"};
#else
  constexpr std::string_view kSuffixes[] = {".tmp"};
#endif
  for (std::string_view suffix : kSuffixes) {
    if (name.size() <= 1 + suffix.size() || name[0] != '.' ||
        name.substr(name.size() - suffix.size()) != suffix) {
      continue;
    }
    if (target != nullptr) target->assign(name.substr(1, name.size() - 1 - suffix.size()));
    return true;
  }
  return false;
}

}  // namespace fileio
}  // namespace trasso
