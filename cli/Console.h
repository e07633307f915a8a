// The process's arguments, output streams and stop signals as jkn uses them:
// UTF-8 throughout. On Windows the arguments come from the wide command line
// (so a Japanese value typed in a console arrives intact whatever the code
// page), and what goes to a console is written as wide text; redirected output
// stays UTF-8 bytes. The platform's parts are in Process.cpp (POSIX) and
// ProcessWindows.cpp.
#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <vector>

namespace jkn {

class Arguments {
 public:
  Arguments(int argc, char** argv);
  int count() const { return static_cast<int>(pointers_.size()) - 1; }
  char** values() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

// Standard output and error as described above; no change on POSIX.
void setUpOutput();

// The signals that ask a process to stop (Ctrl-C, kill, a closed terminal,
// Ctrl-Break in a Windows console), with their names.
struct StopSignal {
  int number;
  const char* name;
};
const std::vector<StopSignal>& stopSignals();
// A write past the process's file size limit then fails (as a full disk)
// instead of ending the process; nothing where there is no such limit signal.
void keepRunningPastFileSizeLimit();

// A stream buffer that hands whole UTF-8 characters to a writer: at each line
// break and flush, never a character cut in two.
class Utf8LineBuffer : public std::streambuf {
 public:
  explicit Utf8LineBuffer(std::function<void(const std::string&)> write)
      : write_(std::move(write)) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  void hand();
  std::function<void(const std::string&)> write_;
  std::string pending_;
};

// Bytes at the end of text that begin a UTF-8 character not yet complete.
size_t incompleteTail(const std::string& text);

}  // namespace jkn
