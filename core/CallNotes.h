// What one call of the C interface learns besides the status of its writes,
// noted by the code that finds it out: the file a failed write was going to,
// values its setter stores so that the getter returns something else, and an
// argument that names no setting at all. A C function keeps a scope on its
// stack while it runs; notes go to the innermost live scope of the thread and
// are dropped when there is none, so internal callers pay nothing for them.
#pragma once

#include <string>
#include <vector>

namespace trasso {

class CallNotes {
 public:
  // A value that will not read back as it was given.
  struct Altered {
    std::string path;  // the file; empty until the write that stages it is made
    std::string section;
    std::string key;
    std::string given;     // the value given, as text
    std::string readBack;  // what the getter returns instead, as text
    std::string why;       // why, in words
  };

  CallNotes();
  ~CallNotes();
  CallNotes(const CallNotes&) = delete;
  CallNotes& operator=(const CallNotes&) = delete;

  // Whether a scope is live on this thread (notes are worth making).
  static bool active() noexcept;
  // The first failed write's file.
  static void failedWrite(const std::string& path) noexcept;
  static void altered(Altered a) noexcept;
  // An argument that names nothing (an unassigned item code, a file id or key
  // number outside its list), so nothing was written: "<what> <number> <why>".
  static void misuse(const char* what, long long number, const char* why) noexcept;
  // The file that the values staged so far without one go to.
  static void wentTo(const std::string& path) noexcept;

  const std::string& failedPath() const { return failedPath_; }
  const std::vector<Altered>& alterations() const { return altered_; }
  const std::string& misuseReason() const { return misuse_; }

 private:
  CallNotes* outer_;
  std::string failedPath_;
  std::vector<Altered> altered_;
  std::string misuse_;
};

}  // namespace trasso
