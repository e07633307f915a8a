#include "outside/DatumShiftLib.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Header lines are short; the rest of an overlong line is skipped.
constexpr size_t kLineKeep = 1024;

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view text, std::string_view head) {
  if (text.size() < head.size()) return false;
  for (size_t i = 0; i < head.size(); ++i) {
    if (lower(text[i]) != lower(head[i])) return false;
  }
  return true;
}

bool sameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && startsWithNoCase(a, b);
}

// Reads one line (LF ends it; CR is trimmed later) into line, keeping its first
// kLineKeep bytes. False at the end of the file or on a read error.
bool readLine(std::FILE* file, std::string& line) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::getc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() < kLineKeep) line += static_cast<char>(c);
  }
  return any;
}

// The header values the calls hand out; empty when the header lacks them.
struct IsgHeader {
  std::string modelName, modelType, modelVersion, isgFormat;
  bool seen[4] = {false, false, false, false};

  // Takes "name : value" or "name = value"; only the first line of a name counts.
  void take(std::string_view line) {
    const size_t split = line.find_first_of(":=");
    if (split == std::string_view::npos) return;
    const std::string_view name = trim(line.substr(0, split));
    const std::string_view value = trim(line.substr(split + 1));
    static constexpr const char* kNames[4] = {"model name", "model type", "model version",
                                              "ISG format"};
    std::string* fields[4] = {&modelName, &modelType, &modelVersion, &isgFormat};
    for (int i = 0; i < 4; ++i) {
      if (!seen[i] && sameNoCase(name, kNames[i])) {
        fields[i]->assign(value);
        seen[i] = true;
      }
    }
  }

  const std::string& version() const { return seen[2] ? modelVersion : isgFormat; }
};

int scanIsgHeader(std::FILE* file, IsgHeader& header) {
  if (file == nullptr) return DatumShiftLib::kNoFile;
  std::string line;
  std::string_view text;
  bool more = readLine(file, line);
  // A byte-order mark may stand before the first line.
  if (more && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
  while (more && (text = trim(line)).empty()) more = readLine(file, line);
  int result = DatumShiftLib::kNotIsgFile;
  if (std::ferror(file)) {
    result = DatumShiftLib::kNoFile;  // a folder, or unreadable
  } else if (more && startsWithNoCase(text, "begin_of_head")) {
    while (readLine(file, line)) {
      text = trim(line);
      if (startsWithNoCase(text, "end_of_head")) {
        result = DatumShiftLib::kIsgFile;
        break;
      }
      header.take(text);
    }
  }
  return result;
}

void copyOut(char* area, const std::string& value) {
  if (area == nullptr) return;
  constexpr size_t kMost = static_cast<size_t>(kGeoTextSize) - 1;
  const size_t length = value.size() < kMost ? value.size() : kMost;
  std::memcpy(area, value.data(), length);
  area[length] = '\0';
}

}  // namespace

int IsGeoidFileISG(std::FILE* file, char* modelName, char* modelType, char* version) {
  IsgHeader header;
  const int result = scanIsgHeader(file, header);
  if (result == DatumShiftLib::kIsgFile) {
    copyOut(modelName, header.modelName);
    copyOut(modelType, header.modelType);
    copyOut(version, header.version());
  }
  return result;
}
