// What both platforms share of StoredFiles.h.
#include "SettingsPaths.h"
#include "StoreFacts.h"
#include "StoredFiles.h"

namespace trasso::stored {

bool sameFileName(std::string_view a, std::string_view b) { return pathKey(a) == pathKey(b); }

std::string folderOf(const std::string& native) {
  const size_t slash = lastSeparator(native);
  return slash == std::string::npos ? std::string(".") : native.substr(0, slash);
}

std::vector<std::string> readFileNames() {
  std::vector<std::string> names;
  for (int id = 0; SettingsFileName(id) != nullptr; ++id) names.emplace_back(SettingsFileName(id));
  const facts::AntennaFiles antenna = facts::antennaFiles();
  for (const std::string* path : {&antenna.types, &antenna.sensors, &antenna.merged}) {
    names.push_back(path->substr(path->find_last_of("\\/") + 1));  // an ASCII name
  }
  return names;
}

int readingRoot(std::string_view name) {
  for (const std::string& known : readFileNames()) {
    if (sameFileName(known, name)) return facts::readingRoot(known);
  }
  return -1;
}

}  // namespace trasso::stored
