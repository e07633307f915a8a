#include "StoreFacts.h"

#include <iterator>

#include "CodePage932.h"
#include "Ini.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"

namespace trasso {

// The area files' runs of keys outside the registry, from the generated list.
#define TRASSO_OTHER_KEYS(area, Part) facts::OtherKeyPart otherKeysOf##Part();
#include "Parts.def"
#define TRASSO_CATALOGUE_SECTION(area, Part) facts::CatalogueSection catalogueSectionOf##Part();
#include "Parts.def"

namespace facts {
namespace {

bool matches(const OtherKey& k, std::string_view key) {
  if (k.numbered) return numberAfter(key, k.key.name).has_value();
  for (int selector : {0, 1}) {
    if (ini::sameName(key, KeyName(k.key, selector).c_str())) return true;
  }
  return false;
}

}  // namespace

const std::vector<ProfilePlace>& profilePlaces() {
  static const std::vector<ProfilePlace> places = {{"ZETR", SettingsFile::JknZetr},
                                                   {"PL30", SettingsFile::JknPl30},
                                                   {"Soku", SettingsFile::JknSoku}};
  return places;
}

const ProfilePlace* profilePlace(std::string_view area) {
  for (const ProfilePlace& p : profilePlaces()) {
    if (area == p.area) return &p;
  }
  return nullptr;
}

int readingRoot(std::string_view name) {
  if (name == kAntennaTypes || name == kAntennaSensors) return kAntennaSourceRoot;
  if (name == kMergedCatalogue) return kMergedCatalogueRoot;
  for (int id = 0; SettingsFileName(id) != nullptr; ++id) {
    if (name == SettingsFileName(id)) return settingsFileRoot(id);
  }
  return -1;
}

AntennaFiles antennaFiles() {
  const std::string source = AppDataFolder(kAntennaSourceRoot, "inf");
  return {source + kAntennaTypes, source + kAntennaSensors, mergedCataloguePath()};
}

const std::vector<OtherKey>& keysOutsideRegistry() {
  static const std::vector<OtherKey> all = [] {
    std::vector<OtherKey> keys;
    for (const OtherKeyPart part : {
#define TRASSO_OTHER_KEYS(area, Part) otherKeysOf##Part(),
#include "Parts.def"
         }) {
      keys.insert(keys.end(), part.keys, part.keys + part.size);
    }
    return keys;
  }();
  return all;
}

const OtherKey* findKeyOutsideRegistry(std::string_view section, std::string_view key) {
  for (const OtherKey& k : keysOutsideRegistry()) {
    if (ini::sameName(section, k.key.section) && matches(k, key)) return &k;
  }
  return nullptr;
}

const OtherKey* findKeyOutsideRegistry(SettingsFile file, std::string_view section,
                                       std::string_view key) {
  for (const OtherKey& k : keysOutsideRegistry()) {
    if (k.key.file == file && ini::sameName(section, k.key.section) && matches(k, key)) return &k;
  }
  return nullptr;
}

const std::vector<CatalogueSection>& catalogueSections() {
  static const std::vector<CatalogueSection> all = {
#define TRASSO_CATALOGUE_SECTION(area, Part) catalogueSectionOf##Part(),
#include "Parts.def"
  };
  return all;
}

WriteStatus probeWrite(const std::string& native) {
  try {
    fileio::FileSystem& fs = fileio::fileSystem();
    fileio::WriteTarget target;
    WriteStatus s = fs.plan(native, target);
    if (!succeeded(s)) return s;
    std::string contents;
    fileio::CurrentFile current;
    s = fs.readCurrent(target, contents, current);
    return succeeded(s) ? current.locked : s;
  } catch (...) {
    return WriteStatus::IoError;
  }
}

}  // namespace facts
}  // namespace trasso
