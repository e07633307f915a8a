// Where settings files lie: roots, folders and the settings file catalogue.
#pragma once

#include <string>

namespace trasso {

// Catalogue of settings files; the number is the file's SettingsFileId.
enum class SettingsFile : int {
  DefShare = 0,     // "def-share.ini"
  DefTs = 1,        // "def-ts.ini"
  DefNmea = 2,      // "def-nmea.ini"
  DispNavi = 3,     // "disp-navi.ini" (root 1)
  DispTs = 4,       // "disp-ts.ini"
  DispNmea = 5,     // "disp-nmea.ini"
  JknTs = 6,        // "jkn-ts.ini"
  JknNmea = 7,      // "jkn-nmea.ini"
  Sound = 8,        // "sound.ini" (root 1)
  DispTsh = 9,      // "disp-tsh.ini"
  DefGnss = 10,     // "def-gnss.ini"
  DispGnss = 11,    // "disp-gnss.ini"
  JknGnss = 12,     // "jkn-gnss.ini"
  NTrip = 13,       // "NTrip.ini" (root 1)
  JknGnssRtk = 14,  // "jkn-gnss-rtk.ini"
  JknPl30 = 15,     // "jkn-pl30.ini" (standard place of a caller-named profile)
  JknSoku = 16,     // "jkn-soku.ini" (standard place of a caller-named profile)
  JknZetr = 17,     // "jkn-zetr.ini" (standard place of a caller-named profile)
};

// The root's directory from the path component, asked anew on every call.
std::string AppDataRoot(int root);

// root + "\" + folder + "\".
std::string AppDataFolder(int root, const char* folder);

// The full path of catalogue file id: root 1 for ids 3, 8 and 13, root 0
// otherwise. An id outside 0 to 17 names no file: the result is root 0's "inf"
// folder text, ending in "\".
std::string SettingsFilePath(int id);
inline std::string SettingsFilePath(SettingsFile file) {
  return SettingsFilePath(static_cast<int>(file));
}

// The root of catalogue file id: 1 for ids 3, 8 and 13, 0 for any other.
int settingsFileRoot(int id);

// The file name of catalogue file id, or nullptr outside 0 to 17.
const char* SettingsFileName(int id);

// The antenna catalogue's files: the delivered ones, read from root 1's "inf"
// folder, and the merged catalogue that AntennaInit writes to root 0's.
constexpr const char* kAntennaTypes = "Antenna.ini";
constexpr const char* kAntennaSensors = "AntennaSensor.ini";
constexpr const char* kMergedCatalogue = "AntennaLocal.ini";
constexpr int kAntennaSourceRoot = 1;
constexpr int kMergedCatalogueRoot = 0;

std::string mergedCataloguePath();

}  // namespace trasso
