// cmd: a double-quoted word is taken as it is; no path holds a '"'.
#include "CodePage932.h"
#include "ShellWords.h"

namespace trasso::shell {

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

std::string makeFolderCommand(const std::string& folder) { return "mkdir " + quoted(folder); }

std::string removeCommand(const std::string& path, bool folder) {
  return (folder ? "rmdir " : "del ") + quoted(path);
}

std::string makeWritableCommand(const std::string& path) { return "attrib -r " + quoted(path); }

std::string folderOf(const std::string& native) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < native.size(); i += cp932::charWidth(native, i)) {
    if (native[i] == '/' || native[i] == '\\') last = i;
  }
  return last == std::string::npos ? "." : native.substr(0, last);
}

}  // namespace trasso::shell
