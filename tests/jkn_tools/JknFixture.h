// The real jkn program on temporary roots, for the tests of its commands.
#pragma once

#include <cctype>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "TestRoots.h"

namespace trasso::test {

// A run of jkn: arguments, exit status and output. An output that ends in a
// line break is the exact standard output; any other is a part of what it
// printed (standard output and error).
using Step = std::tuple<std::string, int, std::string>;

// The start of a load document: a good entry for a file the refusals find read-only.
inline const std::string kDoc =
    R"({"jkn-dump":1,"settings":[{"name":"Use","selector":"10","value":1},)";

// The jkn under test: JKN_COMMAND when set (the Windows build run by Wine), else
// the one built beside the tests.
inline const std::string& jknCommand() {
  static const std::string command =
      std::getenv("JKN_COMMAND") ? std::getenv("JKN_COMMAND") : JKN_BINARY;
  return command;
}
inline bool jknOnWindows() { return jknCommand().find(".exe") != std::string::npos; }
inline const std::string kJkn =
    "KORVEL_APPDATA_0=root0 KORVEL_APPDATA_1=root1 " + jknCommand() + " ";

// Paths as the POSIX jkn shows them: a Windows separator between two name
// characters becomes '/' ("\x80", a byte shown in hex, stays).
inline std::string posixSeparators(std::string text) {
  auto nameChar = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
  };
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    const bool hex = text[i + 1] == 'x' && i + 3 < text.size() &&
                     std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                     std::isxdigit(static_cast<unsigned char>(text[i + 3]));
    if (text[i] == '\\' && nameChar(text[i - 1]) && nameChar(text[i + 1]) && !hex) text[i] = '/';
  }
  return text;
}

class JknTest : public RootsTest {
 protected:
  // Runs a shell command in the folder that holds the roots.
  int sh(const std::string& command) {
    const int rc = std::system(("cd " + root(0) + "/.. && (" + command + ") >out 2>&1").c_str());
    raw_ = out_ = readBytes(root(0) + "/../out");
    if (jknOnWindows()) out_ = posixSeparators(out_);
    return WEXITSTATUS(rc);
  }
  void run(const std::vector<Step>& steps) {
    for (const auto& [args, status, out] : steps) {
      EXPECT_EQ(sh(kJkn + args), status) << args << ": " << out_;
      EXPECT_TRUE(out.back() == '\n' ? out_ == out : out_.find(out) != std::string::npos)
          << args << ": " << out_;
    }
  }
  // Every file below the roots with its bytes.
  std::string snapshot() {
    sh("for f in $(find root0 root1 ! -type d | sort); do printf '== %s\\r\\n' $f; cat $f; done");
    return out_;
  }
  std::string out_;
  std::string raw_;  // out_ before Windows separators were made '/'
};

}  // namespace trasso::test
