// Geoid model files: whether a file is an ISG grid, and its version text.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "Api.h"
#include "SettingsFileIo.h"
#include "outside/DatumShiftLib.h"

namespace {

// The first line of a text grid is read into this many bytes, terminator included.
constexpr int kFirstLineBuffer = 255;
// A text grid header holds seven numbers, then an optional version field.
constexpr int kVersionField = 8;

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool containsVer(const std::string& text) {
  for (size_t i = 0; i + 3 <= text.size(); ++i) {
    if ((text[i] | 0x20) == 'v' && (text[i + 1] | 0x20) == 'e' && (text[i + 2] | 0x20) == 'r') {
      return true;
    }
  }
  return false;
}

// The version of a text grid from its header line of space-separated fields:
// the eighth field, "ver1.0" for exactly seven fields, else empty.
std::string versionFromHeaderLine(std::string_view line) {
  while (!line.empty() && isSpace(line.front())) line.remove_prefix(1);
  while (!line.empty() && isSpace(line.back())) line.remove_suffix(1);
  std::string version;
  int field = 0;
  size_t at = 0;
  while (at < line.size()) {
    const size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) {  // runs of spaces make no empty fields
      ++field;
      if (field == kVersionField - 1) version = "ver1.0";
      if (field == kVersionField) return std::string(line.substr(at, end - at));
    }
    at = end + 1;
  }
  return version;
}

std::string textGridVersion(const char* path) {
  const std::string native = trasso::fileio::nativePath(path != nullptr ? path : "");
  std::FILE* file = trasso::fileio::openForReading(native);
  if (file == nullptr) return std::string();
  char line[kFirstLineBuffer];
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  return read ? versionFromHeaderLine(line) : std::string();
}

}  // namespace

// The geoid library's path forms, over the library's own file opening.
int DatumShiftLib::GeoFile_IsGeoidFileISG(const char* path) {
  return GeoFile_IsGeoidFileISGEx(path, nullptr, nullptr, nullptr);
}

int DatumShiftLib::GeoFile_IsGeoidFileISGEx(const char* path, char* modelName, char* modelType,
                                            char* version) {
  std::FILE* file =
      trasso::fileio::openForReading(trasso::fileio::nativePath(path != nullptr ? path : ""));
  const int result = IsGeoidFileISG(file, modelName, modelType, version);
  if (file != nullptr) std::fclose(file);
  return result;
}

bool trasso::api::QZJknTool_IsGeoidFileISG(const char* path) noexcept {
  DatumShiftLib geoid;
  return geoid.GeoFile_IsGeoidFileISG(path) == DatumShiftLib::kIsgFile;
}

std::string trasso::api::QZJknTool_GetGeoidFileVer(const char* path) noexcept {
  char isgVersion[kGeoTextSize] = {};
  int result;
  {
    DatumShiftLib geoid;
    result = geoid.GeoFile_IsGeoidFileISGEx(path, nullptr, nullptr, isgVersion);
  }
  if (result != DatumShiftLib::kIsgFile) return textGridVersion(path);
  std::string version = isgVersion;
  if (!version.empty() && !containsVer(version)) version.insert(0, "ver");
  return version;
}
