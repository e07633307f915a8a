// GNSS antenna catalogue: merges the delivered antenna type file ("Antenna.ini")
// and sensor list ("AntennaSensor.ini") into the merged catalogue
// ("AntennaLocal.ini") and serves its entries.

#include "gnss/AntennaCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "Api.h"
#include "CallNotes.h"
#include "CodePage932.h"
#include "Ini.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "outside/MathBase.h"

using namespace trasso;

namespace {

constexpr const char* kListSection = "AntennaList";
constexpr const char* kSurveySection = "Survey";

// The measuring method whose offset the catalogue carries: the bottom of the
// antenna mount, as code page 932 bytes (half-width katakana, then full-width).
constexpr char kBottomOfMount[] = "\xB1\xDD\xC3\xC5\xCF\xB3\xDD\xC4\x82\xCC\x92\xEA\x95\x94";

// Key of entry n: "Antenna", n with at least three digits, suffix
// (Antenna000ID, Antenna1000SensorBmp).
std::string entryKey(int n, const char* suffix) {
  char key[48];
  std::snprintf(key, sizeof key, "Antenna%03d%s", n, suffix);
  return key;
}

std::string numberedKey(const char* prefix, int n) { return prefix + std::to_string(n); }

int readInt(const SettingsReader& file, const char* section, const std::string& key, int def) {
  return static_cast<int>(file.intBits(section, key.c_str(), def));
}

// A text with the usual 260-byte buffer, empty by default.
std::string readValue(const SettingsReader& file, const char* section, const std::string& key) {
  return file.text(section, key.c_str(), "");
}

// Field index of a comma-separated text; empty fields do not count, so ",a,,b"
// has the fields "a" and "b". Empty when there is no such field.
std::string commaField(const std::string& text, int index) {
  size_t at = 0;
  for (int i = 0;; ++i) {
    const size_t begin = text.find_first_not_of(',', at);
    if (begin == std::string::npos) return std::string();
    const size_t end = std::min(text.find(',', begin), text.size());
    if (i == index) return text.substr(begin, end - begin);
    at = end;
  }
}

// Whether text holds needle starting on a character: a match that would begin
// with the second byte of a double-byte character does not count.
bool containsText(const std::string& text, const char* needle) {
  const size_t length = std::strlen(needle);
  for (size_t i = 0; i + length <= text.size();) {
    if (text.compare(i, length, needle) == 0) return true;
    i += cp932::isLeadByte(text[i]) ? 2 : 1;
  }
  return false;
}

// The sensor list, in file order, up to the first ID below -1. Ren goes into
// Name; CharCode and Offset keep their defaults.
AntennaCatalogue readSensorList(const std::string& path) {
  const SettingsReader file(path);
  AntennaCatalogue list;
  for (int n = 0;; ++n) {
    const int id = readInt(file, kListSection, entryKey(n, "ID"), -2);
    if (id < -1) break;
    QZ_AntennaRec rec;
    rec.ID = id;
    rec.Sensor = readInt(file, kListSection, entryKey(n, "Sensor"), -1);
    rec.Name = readValue(file, kListSection, entryKey(n, "Ren"));
    rec.Bmp = readValue(file, kListSection, entryKey(n, "Bmp"));
    rec.SensorBmp = readValue(file, kListSection, entryKey(n, "SensorBmp"));
    list.push_back(std::move(rec));
  }
  return list;
}

// The offset text of the first measuring method at the bottom of the antenna
// mount; the method list ends at its first empty value.
std::string bottomOfMountOffset(const SettingsReader& typeFile, const char* section) {
  for (int m = 0;; ++m) {
    const std::string method = readValue(typeFile, section, numberedKey("MeasMethod", m));
    if (method.empty()) return std::string();
    if (containsText(method, kBottomOfMount) && !commaField(method, 0).empty()) {
      return commaField(method, 1);
    }
  }
}

// What an antenna type section gives an entry.
struct AntennaType {
  std::string name;
  std::string charCode;
  std::string offset;
};

// The merged catalogue, built in memory key by key in the order a reader of the
// file sees them, and then stored in one replacement of the file.
class MergedCatalogue {
 public:
  // Appends the next entry for a sensor-list record. Without an antenna type the
  // entry keeps the record's sensor and sensor picture only; Ren and Bmp are then
  // present (as empty values) where the record has them.
  void add(const QZ_AntennaRec& rec, const AntennaType* type) {
    static const std::string kEmpty;
    set(entryKey(count_, "ID"), formatInt(rec.ID));
    if (rec.Sensor >= 0) set(entryKey(count_, "Sensor"), formatInt(rec.Sensor));
    set(entryKey(count_, "Name"), type ? type->name : kEmpty);
    if (!rec.Name.empty()) set(entryKey(count_, "Ren"), type ? rec.Name : kEmpty);
    set(entryKey(count_, "CharCode"), type ? type->charCode : kEmpty);
    if (!rec.Bmp.empty()) set(entryKey(count_, "Bmp"), type ? rec.Bmp : kEmpty);
    if (!rec.SensorBmp.empty()) set(entryKey(count_, "SensorBmp"), rec.SensorBmp);
    set(entryKey(count_, "Offset"), type ? type->offset : kEmpty);
    ++count_;
  }

  int count() const { return count_; }

  // Writes "AntennaCnt" and replaces the file with the catalogue.
  WriteStatus store(const std::string& path) {
    set("AntennaCnt", formatInt(count_));
    const WriteStatus s =
        fileio::updateFile(fileio::nativePath(path), [file = file_](std::string& contents, bool) {
          contents = file;
          return WriteStatus::Written;
        });
    if (!succeeded(s)) CallNotes::failedWrite(path);
    return s;
  }

 private:
  // Every key is new and the section is the file's only one, so each key's line
  // goes at the end, as key-by-key writes into a new file would put it.
  void set(const std::string& key, const std::string& value) {
    // Texts read from an INI line never hold a line break; a value that could
    // not be stored is left out, as a refused write would leave it.
    if (!ini::isStorableValue(value)) return;
    if (file_.empty())
      ini::setValue(file_, kListSection, key, value);
    else
      ini::appendNewEntry(file_, key, value);
  }

  std::string file_;
  int count_ = 0;
};

}  // namespace

int trasso::api::AntennaInit() noexcept {
  try {
    const std::string source = AppDataFolder(kAntennaSourceRoot, "inf");
    const SettingsReader typeFile(source + kAntennaTypes);
    const std::string merged = mergedCataloguePath();

    AntennaCatalogue sensors = readSensorList(source + kAntennaSensors);
    if (sensors.empty()) {
      fileio::removeFile(fileio::nativePath(merged));
      return 0;
    }

    // Types listed in "Survey", in that order; each pairs with the first sensor
    // record of its type that no earlier "Survey" entry took.
    MergedCatalogue catalogue;
    for (int k = 1;; ++k) {
      const std::string section =
          commaField(readValue(typeFile, kSurveySection, numberedKey("Ant", k)), 0);
      if (section.empty()) break;
      const int type = readInt(typeFile, section.c_str(), "Type", -1);
      auto match = std::find_if(sensors.begin(), sensors.end(),
                                [type](const QZ_AntennaRec& rec) { return rec.ID == type; });
      if (match == sensors.end()) continue;
      const AntennaType antenna{readValue(typeFile, section.c_str(), "Name"),
                                readValue(typeFile, section.c_str(), "CharCode"),
                                bottomOfMountOffset(typeFile, section.c_str())};
      catalogue.add(*match, &antenna);
      sensors.erase(match);
    }
    // Then the sensors without antenna type; other unpaired types are dropped.
    for (const QZ_AntennaRec& rec : sensors) {
      if (rec.ID == -1) catalogue.add(rec, nullptr);
    }
    catalogue.store(merged);
    return catalogue.count() > 0 ? 1 : 0;
  } catch (...) {  // out of memory: no catalogue was stored
    return 0;
  }
}

namespace trasso {

int readAntennaEntry(const SettingsReader& file, int n, QZ_AntennaRec& rec) {
  const int id = readInt(file, kListSection, entryKey(n, "ID"), -2);
  if (id < -1) return 0;
  QZ_AntennaRec entry;
  entry.ID = id;
  entry.Sensor = readInt(file, kListSection, entryKey(n, "Sensor"), -1);
  entry.Name = readValue(file, kListSection, entryKey(n, "Name"));
  std::string ren = readValue(file, kListSection, entryKey(n, "Ren"));
  if (!ren.empty()) entry.Name = std::move(ren);
  entry.CharCode = readValue(file, kListSection, entryKey(n, "CharCode"));
  entry.Bmp = readValue(file, kListSection, entryKey(n, "Bmp"));
  entry.SensorBmp = readValue(file, kListSection, entryKey(n, "SensorBmp"));
  entry.Offset = _AtoD(readValue(file, kListSection, entryKey(n, "Offset")).c_str());
  rec = std::move(entry);
  return 1;
}

}  // namespace trasso

int trasso::api::GetAntennaRec(int n, QZ_AntennaRec& rec) noexcept {
  try {
    return readAntennaEntry(SettingsReader(mergedCataloguePath()), n, rec);
  } catch (...) {  // out of memory: the entry reads as missing
    return 0;
  }
}
