#include "outside/KorvelIni.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// $XDG_<dir> when set, otherwise $HOME/<fallback>.
std::string xdgDir(const char* xdgName, const char* homeFallback) {
  std::string dir = env(xdgName);
  if (!dir.empty()) return dir;
  return env("HOME") + "/" + homeFallback;
}

}  // namespace

std::string KorvelIni::GetAppDataPath(int n) const {
  char name[40];
  std::snprintf(name, sizeof name, "KORVEL_APPDATA_%d", n);
  std::string override = env(name);
  if (!override.empty()) return override;
  if (n == 0) return xdgDir("XDG_CONFIG_HOME", ".config") + "/TrassoJkn";
  std::string root = xdgDir("XDG_DATA_HOME", ".local/share") + "/TrassoJkn";
  if (n != 1) root += std::to_string(n);
  return root;
}
