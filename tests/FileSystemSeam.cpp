#include "FileSystemSeam.h"

namespace trasso::test {
namespace {

const char* const kStepNames[kSteps] = {
    "plan",    "lock",        "removeLeftovers", "readCurrent", "writeTemporary",
    "replace", "flushFolder", "removeTemporary", "readFile",
};

}  // namespace

FileSystemSeam::FileSystemSeam()
    : real_(fileio::platformFileSystem()), before_(fileio::useFileSystem(this)) {}

FileSystemSeam::~FileSystemSeam() { fileio::useFileSystem(before_); }

void FileSystemSeam::failCall(Step step, int n, WriteStatus status) {
  const int i = static_cast<int>(step);
  failWith_[i] = status;
  failAt_[i] = calls_[i] + n;
}

std::vector<std::string> FileSystemSeam::takeLog() {
  const std::lock_guard<std::mutex> hold(logMutex_);
  std::vector<std::string> out;
  out.swap(log_);
  return out;
}

WriteStatus FileSystemSeam::enter(Step step) {
  const int i = static_cast<int>(step);
  if (++calls_[i] == failAt_[i]) return failWith_[i];
  const std::lock_guard<std::mutex> hold(logMutex_);
  log_.push_back(kStepNames[i]);
  return WriteStatus::Written;
}

WriteStatus FileSystemSeam::plan(const std::string& path, fileio::WriteTarget& t) {
  const WriteStatus s = enter(Step::Plan);
  return s != WriteStatus::Written ? s : real_.plan(path, t);
}

WriteStatus FileSystemSeam::lock(fileio::WriteTarget& t) {
  const WriteStatus s = enter(Step::Lock);
  return s != WriteStatus::Written ? s : real_.lock(t);
}

// Unlocking cannot fail; it is counted all the same.
void FileSystemSeam::unlock(fileio::WriteTarget& t) { real_.unlock(t); }

void FileSystemSeam::removeLeftovers(const fileio::WriteTarget& t) {
  if (enter(Step::RemoveLeftovers) == WriteStatus::Written) real_.removeLeftovers(t);
}

WriteStatus FileSystemSeam::readCurrent(const fileio::WriteTarget& t, std::string& contents,
                                        fileio::CurrentFile& current) {
  const WriteStatus s = enter(Step::ReadCurrent);
  return s != WriteStatus::Written ? s : real_.readCurrent(t, contents, current);
}

WriteStatus FileSystemSeam::writeTemporary(const fileio::WriteTarget& t,
                                           const std::string& contents,
                                           const fileio::CurrentFile& current) {
  const WriteStatus s = enter(Step::WriteTemporary);
  return s != WriteStatus::Written ? s : real_.writeTemporary(t, contents, current);
}

WriteStatus FileSystemSeam::replace(const fileio::WriteTarget& t) {
  const WriteStatus s = enter(Step::Replace);
  return s != WriteStatus::Written ? s : real_.replace(t);
}

WriteStatus FileSystemSeam::flushFolder(const fileio::WriteTarget& t) {
  const WriteStatus s = enter(Step::FlushFolder);
  return s != WriteStatus::Written ? s : real_.flushFolder(t);
}

void FileSystemSeam::removeTemporary(const fileio::WriteTarget& t) {
  if (enter(Step::RemoveTemporary) == WriteStatus::Written) real_.removeTemporary(t);
}

bool FileSystemSeam::readFile(const std::string& path, fileio::FileBytes& out) {
  if (enter(Step::ReadFile) != WriteStatus::Written) {
    out.setSize(0);
    return false;
  }
  return real_.readFile(path, out);
}

}  // namespace trasso::test
