// The commands a message of the C interface suggests for mending a file's
// place, in the platform's own shell (cmd on Windows), and the folder of a
// native path. Paths are UTF-8 as messages show them.
#pragma once

#include <string>

namespace trasso::shell {

std::string quoted(const std::string& path);
std::string makeFolderCommand(const std::string& folder);
std::string removeCommand(const std::string& path, bool folder);
std::string makeWritableCommand(const std::string& path);

// The folder part of a native path, without its last separator ("." for a
// bare name); on Windows a '\' that ends a double-byte character is none.
std::string folderOf(const std::string& native);

}  // namespace trasso::shell
