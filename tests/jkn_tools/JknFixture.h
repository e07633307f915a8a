// The real jkn program on temporary roots, for the tests of its commands.
#pragma once

#include <cctype>
#include <cstdlib>
#include <nlohmann/json.hpp>
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

// A JSON document as jkn prints every one: two spaces of indent, keys sorted.
inline std::string document(const std::string& json) {
  return nlohmann::json::parse(json).dump(2) + "\n";
}

// The jkn under test: JKN_COMMAND when set (the Windows build run by Wine), else
// the one built beside the tests.
inline const std::string& jknCommand() {
  static const char* const given = std::getenv("JKN_COMMAND");
  static const std::string command = given != nullptr ? given : JKN_BINARY;
  return command;
}
inline bool jknOnWindows() { return jknCommand().find(".exe") != std::string::npos; }
inline const std::string kJkn =
    "KORVEL_APPDATA_0=root0 KORVEL_APPDATA_1=root1 " + jknCommand() + " ";

// Paths as the POSIX jkn shows them: a Windows separator after a name
// character and before another or a ')' becomes '/'; "\x80", a byte shown in
// hex, stays. In a JSON document (text that starts with '{' or '[') the
// separator is written "\\" and other escapes stay as they are.
inline std::string posixSeparators(const std::string& text) {
  auto nameChar = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
  };
  const size_t first = text.find_first_not_of(" \n");
  const bool json = first != std::string::npos && (text[first] == '{' || text[first] == '[');
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    const size_t n = json ? 2 : 1;  // the separator's length
    const char next = i + n < text.size() ? text[i + n] : '\0';
    const bool hex = next == 'x' && i + n + 2 < text.size() &&
                     std::isxdigit(static_cast<unsigned char>(text[i + n + 1])) &&
                     std::isxdigit(static_cast<unsigned char>(text[i + n + 2]));
    const bool separator = (!json || (i + 1 < text.size() && text[i + 1] == '\\')) && i > 0 &&
                           nameChar(text[i - 1]) && (nameChar(next) || next == ')') && !hex;
    out += separator ? std::string("/") : text.substr(i, json ? 2 : 1);
    i += json ? 1 : 0;
  }
  return out;
}

// The commands of jkn's fixes in the shell of the jkn under test (sh; cmd on
// Windows), with '/' for the Windows separator.
inline std::string posixWord(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
inline std::string shellWord(const std::string& s) {
  return jknOnWindows() ? "\"" + s + "\"" : posixWord(s);
}
inline std::string removeFix(const std::string& path, bool folder = false) {
  return (folder ? "rmdir " : jknOnWindows() ? "del " : "rm ") + shellWord(path);
}
inline std::string moveFix(const std::string& from, const std::string& to) {
  return (jknOnWindows() ? "move " : "mv ") + shellWord(from) + " " + shellWord(to);
}
inline std::string writableFix(const std::string& path) {
  return (jknOnWindows() ? "attrib -r " : "chmod u+w ") + shellWord(path);
}
inline std::string makeFolderFix(const std::string& folder) {
  return (jknOnWindows() ? "mkdir " : "mkdir -p ") + shellWord(folder);
}
// Re-saving a file of encoding `from` ("UTF-8", "UTF-16", "UTF-16LE") in code
// page 932: iconv, or PowerShell (whose "Unicode" is UTF-16 with or without a mark).
inline std::string toCp932Fix(const std::string& path, const std::string& from) {
  if (!jknOnWindows()) {
    return "iconv -f " + from + " -t CP932 '" + path + "' >'" + path + ".new' && mv '" + path +
           ".new' '" + path + "' || { rm -f '" + path + ".new'; false; }";
  }
  return "powershell -Command \"Get-Content -Encoding " +
         std::string(from == "UTF-8" ? "UTF8" : "Unicode") + " -LiteralPath '" + path +
         "' | Set-Content -Encoding Default -LiteralPath '" + path + ".new'\" && move /y \"" +
         path + ".new\" \"" + path + "\" || (del \"" + path + ".new\" & exit /b 1)";
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
    return raw_;
  }
  // A file jkn wrote beside the roots, with '/' for the Windows separator.
  std::string output(const std::string& name) {
    const std::string bytes = readBytes(root(0) + "/../" + name);
    return jknOnWindows() ? posixSeparators(bytes) : bytes;
  }
  // Runs a command of cmd beside the roots, under the Wine that runs jkn
  // (JKN_COMMAND without its last word); '/' in its quoted words is '\'.
  int cmd(std::string command) {
    bool quoted = false;
    for (char& c : command) {
      if (c == '"') quoted = !quoted;
      if (quoted && c == '/') c = '\\';
    }
    writeBytes(root(0) + "/../fix.bat", "@" + command + "\r\n");
    return sh(jknCommand().substr(0, jknCommand().rfind(' ') + 1) + "cmd /c fix.bat");
  }
  std::string out_;
  std::string raw_;  // out_ before Windows separators were made '/'
};

}  // namespace trasso::test
