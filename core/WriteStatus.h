// What became of a write. The cause is named where it is found (a file system
// step, a refused value, a setter's range) and travels up unchanged to whoever
// asks: the registry, jkn, callers of the internal setters. The exported setters
// of the interface keep their own return types and drop it.
#pragma once

#include <cstdint>

namespace trasso {

enum class WriteStatus : uint8_t {
  Written,        // the file now holds the change (for a single step: the step is done)
  Unchanged,      // there was nothing to change, such as removing a missing key
  FolderMissing,  // the file's folder does not exist; it is never created
  NotAFolder,     // something in the folder's path is a file, not a folder
  FileIsFolder,   // a folder stands where the settings file belongs
  NotAFile,       // a device, pipe, socket or a link to nothing stands there, or no path
  ReadOnly,       // the file's permission bits or read-only attribute forbid writing
  AccessDenied,   // the system refused access to the file or its folder
  Refused,        // a section, key or value that cannot be stored (a line break)
  OutOfRange,     // a validating setter's range does not take the value
  DiskFull,       // no space left, or the file is or would grow too large
  Busy,           // another program holds the file and did not let go in time
  IoError,        // the disk failed a read, a write or a flush
  TempBlocked,    // a folder stands where the write puts its temporary file
};

constexpr bool succeeded(WriteStatus s) {
  return s == WriteStatus::Written || s == WriteStatus::Unchanged;
}

// The status of a call that made several writes: its first failure, else
// Written when any write changed its file, else Unchanged.
constexpr WriteStatus combine(WriteStatus sofar, WriteStatus next) {
  if (!succeeded(sofar)) return sofar;
  if (!succeeded(next)) return next;
  return sofar == WriteStatus::Written ? sofar : next;
}

// A short English text of the cause ("written", "folder missing", ...).
const char* statusText(WriteStatus s);

// Collects the statuses of the writes made on this thread while it lives, so
// that a caller of a setter that reports nothing (the exported interface) still
// learns why it failed. Scopes nest; each write is reported to the innermost,
// which passes what it gathered on to the enclosing one when it ends.
class WriteReport {
 public:
  WriteReport();
  ~WriteReport();
  WriteReport(const WriteReport&) = delete;
  WriteReport& operator=(const WriteReport&) = delete;

  // Unchanged when nothing was reported.
  WriteStatus status() const { return status_; }

  // Reports s to the innermost live scope of this thread, if any, and returns it.
  static WriteStatus note(WriteStatus s);

 private:
  WriteReport* outer_;
  WriteStatus status_ = WriteStatus::Unchanged;
};

// The internal form of any setter: the status of the writes that call made,
// for a setter that itself reports nothing or only a bool.
template <class Call>
WriteStatus statusOf(Call&& call) {
  const WriteReport report;
  call();
  return report.status();
}

}  // namespace trasso
