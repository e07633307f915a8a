#include "SettingsPaths.h"

#include <cstring>

#include "Api.h"
#include "outside/KorvelIni.h"

namespace trasso {
namespace {

constexpr const char* kCatalogue[] = {
    "def-share.ini", "def-ts.ini",    "def-nmea.ini", "disp-navi.ini", "disp-ts.ini",
    "disp-nmea.ini", "jkn-ts.ini",    "jkn-nmea.ini", "sound.ini",     "disp-tsh.ini",
    "def-gnss.ini",  "disp-gnss.ini", "jkn-gnss.ini", "NTrip.ini",     "jkn-gnss-rtk.ini",
    "jkn-pl30.ini",  "jkn-soku.ini",  "jkn-zetr.ini",
};
constexpr int kCatalogueSize = static_cast<int>(sizeof kCatalogue / sizeof kCatalogue[0]);

}  // namespace

std::string AppDataRoot(int root) {
  // A fresh component object per path; it is gone before the path is completed.
  KorvelIni component;
  return component.GetAppDataPath(root);
}

std::string AppDataFolder(int root, const char* folder) {
  std::string path = AppDataRoot(root);
  // Room for a file name too, so that a settings path is made in one allocation
  // (reserve is asked only when short: it may reallocate to shrink).
  const size_t want = path.size() + std::strlen(folder) + 2 + 20;
  if (path.capacity() < want) path.reserve(want);
  path.append("\\").append(folder).append("\\");
  return path;
}

// The merged catalogue lies in root 0 for both the builder and the reader, so
// that what AntennaInit writes is what GetAntennaRec serves.
std::string mergedCataloguePath() {
  return AppDataFolder(kMergedCatalogueRoot, "inf") + kMergedCatalogue;
}

const char* SettingsFileName(int id) {
  return (id >= 0 && id < kCatalogueSize) ? kCatalogue[id] : nullptr;
}

int settingsFileRoot(int id) { return id == 3 || id == 8 || id == 13 ? 1 : 0; }

std::string SettingsFilePath(int id) {
  std::string path = AppDataFolder(settingsFileRoot(id), "inf");
  if (const char* name = SettingsFileName(id)) path += name;
  return path;
}

}  // namespace trasso

using trasso::AppDataFolder;
using trasso::AppDataRoot;
using trasso::SettingsFile;
using trasso::SettingsFilePath;

std::string trasso::api::GetQZInf_Path(int root) noexcept { return AppDataFolder(root, "inf"); }
std::string trasso::api::GetQZImg_Path(int root) noexcept { return AppDataFolder(root, "img"); }
std::string trasso::api::GetQZWav_Path(int root) noexcept { return AppDataFolder(root, "wav"); }
std::string trasso::api::GetQZGeoidFile_Path() noexcept { return AppDataRoot(0) + "\\geoid"; }
std::string trasso::api::GetQZGeoidFile_FullPath() noexcept {
  return GetQZGeoidFile_Path() + "\\geoidn.dat";
}
std::string trasso::api::GetQZJkn_ZETR_Path() noexcept {
  return SettingsFilePath(SettingsFile::JknZetr);
}
std::string trasso::api::GetQZJkn_PL30_Path() noexcept {
  return SettingsFilePath(SettingsFile::JknPl30);
}
std::string trasso::api::GetQZJkn_Soku_Path() noexcept {
  return SettingsFilePath(SettingsFile::JknSoku);
}

// The INI layer keeps no cached copies, so there is nothing to write out.
void trasso::api::Flush_QZJkn_ZETR_File(const char* /*path*/) noexcept {}
void trasso::api::Flush_QZJkn_PL30_File(const char* path) noexcept { Flush_QZJkn_ZETR_File(path); }
void trasso::api::Flush_QZJkn_Soku_File(const char* path) noexcept { Flush_QZJkn_ZETR_File(path); }
