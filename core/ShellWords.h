// The commands that messages (jkn's and the C interface's) suggest for mending
// a file, in the platform's own shell (cmd on Windows), and the folder of a
// native path. Paths are UTF-8 as messages show them.
#pragma once

#include <string>

namespace trasso::shell {

std::string quoted(const std::string& path);
std::string makeFolderCommand(const std::string& folder);
std::string removeCommand(const std::string& path, bool folder);
std::string makeWritableCommand(const std::string& path);
std::string makeReadableCommand(const std::string& path);
std::string moveCommand(const std::string& from, const std::string& to);
// Re-saves a file of text encoding `from` ("UTF-8", "UTF-16LE", "UTF-16BE",
// "UTF-16" with a byte-order mark) in code page 932, through a file beside it
// that goes again when the conversion fails: nothing half-done stays.
std::string toCodePage932Command(const std::string& path, const std::string& from);

// The folder part of a native path, without its last separator ("." for a
// bare name); on Windows a '\' that ends a double-byte character is none.
std::string folderOf(const std::string& native);

}  // namespace trasso::shell
