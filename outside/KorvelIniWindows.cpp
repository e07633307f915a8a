#include <shlobj.h>
#include <windows.h>

#include <string>

#include "outside/KorvelIni.h"

namespace {

// Code page 932 text of a wide text; characters it lacks become '?'.
std::string narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(932, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, wide.data(), size, &text[0], n, nullptr, nullptr);
  return text;
}

std::wstring env(const std::wstring& name) {
  std::wstring value(256, L'\0');
  DWORD n = GetEnvironmentVariableW(name.c_str(), &value[0], static_cast<DWORD>(value.size()));
  if (n >= value.size()) {
    value.resize(n);
    n = GetEnvironmentVariableW(name.c_str(), &value[0], n);
  }
  value.resize(n < value.size() ? n : 0);
  return value;
}

std::wstring knownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK) folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

// Windows: $KORVEL_APPDATA_<n> read as wide text, else root 0 is
// %APPDATA%\TrassoJkn and every other root %LOCALAPPDATA%\TrassoJkn (numbered
// above 1); returned as code page 932 texts.
std::string KorvelIni::GetAppDataPath(int n) const {
  const std::wstring override = env(L"KORVEL_APPDATA_" + std::to_wstring(n));
  if (!override.empty()) return narrow(override);
  std::wstring root =
      knownFolder(n == 0 ? FOLDERID_RoamingAppData : FOLDERID_LocalAppData) + L"\\TrassoJkn";
  if (n != 0 && n != 1) root += std::to_wstring(n);
  return narrow(root);
}
