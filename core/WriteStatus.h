// What became of a write. The cause is named where it is found (a file system
// step, a refused value, a setter's range) and travels up unchanged to whoever
// asks: the registry, jkn, callers of the internal setters. The exported setters
// of the interface keep their own return types and drop it.
#pragma once

#include <cstdint>

namespace trasso {

// One enumerator per row of Statuses.def, in its order; the row says what each
// means.
enum class WriteStatus : uint8_t {
#define JKN_WRITE_STATUS(name, cName, number, text, meaning, cause, remedy) name,
#define JKN_CALL_STATUS(cName, number, text, meaning)
#include "Statuses.def"
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
