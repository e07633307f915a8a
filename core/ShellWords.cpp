// POSIX shells.
#include "ShellWords.h"

namespace trasso::shell {

std::string quoted(const std::string& path) {
  std::string out = "'";
  for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string makeFolderCommand(const std::string& folder) { return "mkdir -p " + quoted(folder); }

std::string removeCommand(const std::string& path, bool folder) {
  return (folder ? "rmdir " : "rm ") + quoted(path);
}

std::string makeWritableCommand(const std::string& path) { return "chmod u+w " + quoted(path); }

std::string makeReadableCommand(const std::string& path) { return "chmod u+r " + quoted(path); }

std::string moveCommand(const std::string& from, const std::string& to) {
  return "mv " + quoted(from) + " " + quoted(to);
}

std::string toCodePage932Command(const std::string& path, const std::string& from) {
  const std::string file = quoted(path), temp = quoted(path + ".new");
  return "iconv -f " + from + " -t CP932 " + file + " >" + temp + " && mv " + temp + " " + file +
         " || { rm -f " + temp + "; false; }";
}

std::string folderOf(const std::string& native) {
  const size_t slash = native.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : native.substr(0, slash);
}

}  // namespace trasso::shell
