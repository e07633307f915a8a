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

std::string makeReadableCommand(const std::string& path) {
  return "icacls " + quoted(path) + " /grant \"%USERNAME%\":R";
}

std::string moveCommand(const std::string& from, const std::string& to) {
  return "move " + quoted(from) + " " + quoted(to);
}

std::string toCodePage932Command(const std::string& path, const std::string& from) {
  // PowerShell's "Default" is the system's code page: 932 where the application runs.
  const char* encoding = from == "UTF-8"      ? "UTF8"
                         : from == "UTF-16BE" ? "BigEndianUnicode"
                                              : "Unicode";
  const std::string temp = path + ".new";
  return std::string("powershell -Command \"Get-Content -Encoding ") + encoding +
         " -LiteralPath '" + path + "' | Set-Content -Encoding Default -LiteralPath '" + temp +
         "'\" && move /y " + quoted(temp) + " " + quoted(path) + " || (del " + quoted(temp) +
         " & exit /b 1)";
}

std::string folderOf(const std::string& native) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < native.size(); i += cp932::charWidth(native, i)) {
    if (native[i] == '/' || native[i] == '\\') last = i;
  }
  return last == std::string::npos ? "." : native.substr(0, last);
}

}  // namespace trasso::shell
