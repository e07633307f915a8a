#include "outside/KorvelIni.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Callers append a folder and a file name; the room is reserved up front so a
// whole settings path takes one allocation.
constexpr size_t kRoomForCaller = 48;

std::string text(const char* head, const char* tail = "") {
  const size_t headSize = std::strlen(head);
  const size_t tailSize = std::strlen(tail);
  std::string out;
  out.reserve(headSize + tailSize + kRoomForCaller);
  out.append(head, headSize).append(tail, tailSize);
  return out;
}

const char* nonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

// $XDG_<dir> when set, otherwise $HOME/<fallback>.
std::string xdgDir(const char* xdgName, const char* homeFallback) {
  if (const char* dir = nonEmptyEnv(xdgName)) return text(dir);
  const char* home = std::getenv("HOME");
  std::string dir = text(home ? home : "", "/");
  dir += homeFallback;
  return dir;
}

}  // namespace

std::string KorvelIni::GetAppDataPath(int n) const {
  char name[32] = "KORVEL_APPDATA_";
  const size_t prefix = std::strlen(name);
  *std::to_chars(name + prefix, name + sizeof name - 1, n).ptr = '\0';
  if (const char* override = nonEmptyEnv(name)) return text(override);
  std::string root =
      n == 0 ? xdgDir("XDG_CONFIG_HOME", ".config") : xdgDir("XDG_DATA_HOME", ".local/share");
  root += "/TrassoJkn";
  if (n != 0 && n != 1) root += std::to_string(n);
  return root;
}
