#include "Stored.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "CodePage932.h"
#include "Commands.h"
#include "Ini.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "StoreFacts.h"
#include "StoredFiles.h"
#include "Values.h"

namespace jkn {

using trasso::SelectorKind;
using trasso::SettingEntry;
using trasso::SettingsFile;

namespace {

std::string native(const std::string& path) { return trasso::fileio::nativePath(path); }

std::string baseName(const std::string& path) {
  const size_t slash = lastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string profileAreaOfPath(const std::string& nativePath, bool byNameOnly) {
  for (const trasso::facts::ProfilePlace& p : trasso::facts::profilePlaces()) {
    const std::string standard = native(trasso::SettingsFilePath(p.file));
    if (byNameOnly ? lowerAscii(baseName(standard)) == lowerAscii(baseName(nativePath))
                   : trasso::stored::pathKey(standard) == trasso::stored::pathKey(nativePath)) {
      return p.area;
    }
  }
  return std::string();
}

// Paths compare as the file system compares them; section names as the reader
// compares them.
std::string slotKey(const std::string& tag, std::string_view section) {
  return trasso::stored::pathKey(tag) + "\n" + lowerAscii(section);
}

std::string fileTag(const StoredFile& f) {
  return f.profile.empty() ? f.path : "profile:" + f.profile;
}

}  // namespace

const char* const kWriteFailureStatuses =
    "  3  the file's place: its folder is missing or is no folder, or a folder, device\n"
    "     or broken link stands where the file belongs; nothing written\n"
    "  4  the file is read-only or access is denied; nothing written\n"
    "  5  the disk is full or the file too large; nothing written\n"
    "  6  another program holds the file; nothing written, try again\n"
    "  7  the disk reported an I/O error; nothing written\n";

const std::string kExitStatuses =
    std::string(
        "Exit status:\n"
        "  0  done\n"
        "  1  value refused (not of the setting's kind, outside its width or range, a "
        "text\n"
        "     with a line break or not in code page 932, a read-only setting); nothing "
        "written\n"
        "  2  usage: unknown command, option, setting name or selector\n") +
    kWriteFailureStatuses;

Failure writeFailure(trasso::WriteStatus status, const std::string& libraryPath) {
  using trasso::WriteStatus;
  const std::string words = trasso::writeFailureWords(status, libraryPath);
  switch (status) {
    case WriteStatus::FolderMissing:
    case WriteStatus::NotAFolder:
    case WriteStatus::FileIsFolder:
    case WriteStatus::NotAFile:
    case WriteStatus::TempBlocked:
      return {kFileError, words};
    case WriteStatus::ReadOnly:
    case WriteStatus::AccessDenied:
      return {kNotWritable, words};
    case WriteStatus::DiskFull:
      return {kDiskFull, words};
    case WriteStatus::Busy:
      return {kBusy, words};
    case WriteStatus::Refused:
    case WriteStatus::OutOfRange:
      return {kRefused, words};
    case WriteStatus::IoError:
    case WriteStatus::Written:
    case WriteStatus::Unchanged:
      return {kIoError, words};
  }
  return {kIoError, words};  // no other status
}

bool isFolder(const std::string& path) {
  return trasso::stored::entryKind(path) == trasso::stored::EntryKind::Folder;
}

namespace {

// What stands at a path, in a word and as a finding names it, by EntryKind.
constexpr const char* kKindWords[][2] = {
    {"", "a broken link"},         {"file", "not a regular file"},   {"folder", "a folder"},
    {"pipe", "a named pipe"},      {"device", "a device"},           {"socket", "a socket"},
    {"bad link", "a broken link"}, {"no file", "not a regular file"}};

}  // namespace

std::string entryKind(const std::string& path) {
  return kKindWords[static_cast<int>(trasso::stored::entryKind(path))][0];
}

std::string entryPhrase(trasso::stored::EntryKind kind) {
  return kKindWords[static_cast<int>(kind)][1];
}

std::string shownPath(const std::string& path) {
  return trasso::stored::typedForm(trasso::fileio::nativePath(path));
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool isIniName(const std::string& name) {
  return name.size() > 4 && lowerAscii(name.substr(name.size() - 4)) == ".ini";
}

std::vector<StoredFile> storedFiles(const std::vector<std::string>& profiles) {
  std::vector<StoredFile> out;
  std::string folders[2];
  for (int root = 0; root < 2; ++root) {
    folders[root] = fileIdentity(native(trasso::AppDataFolder(root, "inf")));
  }
  const bool same = !folders[0].empty() && folders[0] == folders[1];
  for (int root = 0; root < (same ? 1 : 2); ++root) {
    const std::string folder = native(trasso::AppDataFolder(root, "inf"));
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) continue;
    std::vector<std::string> names;
    while (const dirent* d = ::readdir(dir)) {
      const std::string name = d->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      const std::string path = folder + name;
      const int reader = same ? std::max(trasso::stored::readingRoot(name), 0) : root;
      out.push_back(StoredFile{path, name, reader, profileAreaOfPath(path, false), same});
    }
  }
  for (const std::string& p : profiles) {
    const std::string path = native(nativeForm(p));
    out.push_back(StoredFile{path, baseName(path), -1, profileAreaOfPath(path, true)});
  }
  return out;
}

StoredFile storedFileOf(const std::string& nativePath) {
  const std::string name = baseName(nativePath);
  const std::string folder = folderOf(nativePath);
  std::string identities[2];
  for (int root = 0; root < 2; ++root) {
    identities[root] = fileIdentity(folderOf(native(trasso::AppDataFolder(root, "inf"))));
  }
  const bool same = !identities[0].empty() && identities[0] == identities[1];
  for (int root = 0; root < 2; ++root) {
    if (identities[root].empty() || fileIdentity(folder) != identities[root]) continue;
    const int reader = same ? std::max(trasso::stored::readingRoot(name), 0) : root;
    return StoredFile{nativePath, name, reader, profileAreaOfPath(nativePath, false), same};
  }
  return StoredFile{nativePath, name, -1, profileAreaOfPath(nativePath, true)};
}

SettingsIndex::SettingsIndex() {
  for (const SettingEntry& e : trasso::settingsRegistry()) {
    // A key that another entry reaches as plainly is that entry's; a setter that
    // writes more than its key would not give a key back as it was.
    if (e.sameKeyAs != nullptr) continue;
    const bool isProfile = trasso::takesProfilePath(e);
    for (const trasso::Selection& s : trasso::keySelections(e)) {
      const trasso::Declaration d = trasso::declarationOf(e, s);
      if (d.key.name == nullptr) continue;
      const std::string tag =
          isProfile ? "profile:" + trasso::areaOf(e) : native(trasso::pathOf(e, s));
      const bool numbered =
          e.selector == SelectorKind::Entry || e.selector == SelectorKind::CallerDefault;
      std::vector<Slot>& list = slots_[slotKey(tag, d.key.section)];
      const std::string name = numbered ? d.key.name : trasso::keyOf(e, s);
      list.push_back(Slot{lowerAscii(name), numbered ? name + "<n>" : name, numbered, &e, s});
      if (numbered) break;  // one prefix stands for every number
    }
    if (e.selector == SelectorKind::ScreenColour) screenColour_ = &e;
  }
  for (int id = 0; trasso::SettingsFileName(id) != nullptr; ++id) {
    fileIds_[slotKey(native(trasso::SettingsFilePath(id)), "")] = id;
  }
}

std::optional<KnownKey> SettingsIndex::screenColour(const StoredFile& f, std::string_view section,
                                                    std::string_view key) const {
  // Any catalogue file, a section named by the "%d" of a number, a colour key.
  const auto id = fileIds_.find(slotKey(f.path, ""));
  if (screenColour_ == nullptr || f.root < 0 || id == fileIds_.end()) return std::nullopt;
  int64_t n = 0;
  const auto [end, ec] = std::from_chars(section.data(), section.data() + section.size(), n);
  if (ec != std::errc() || end != section.data() + section.size() || n < INT32_MIN ||
      n > INT32_MAX || trasso::formatInt(static_cast<int32_t>(n)) != section) {
    return std::nullopt;
  }
  for (int which = 0; trasso::screenColourKey(which) != nullptr; ++which) {
    if (!trasso::ini::sameName(key, trasso::screenColourKey(which))) continue;
    trasso::Selection s;
    s.number = id->second;
    s.which = which;
    s.section = static_cast<int>(n);
    return KnownKey{screenColour_, s, trasso::declarationOf(*screenColour_, s)};
  }
  return std::nullopt;
}

std::vector<const std::vector<SettingsIndex::Slot>*> SettingsIndex::slots(
    const StoredFile& f, std::string_view section) const {
  std::vector<const std::vector<Slot>*> lists;
  const auto add = [&](const std::string& tag) {
    const auto it = slots_.find(slotKey(tag, section));
    if (it != slots_.end()) lists.push_back(&it->second);
  };
  add(fileTag(f));
  // A profile at its standard place is a catalogue file too, which settings
  // chosen by file id (RecSize) read.
  if (!f.profile.empty() && f.root >= 0) add(f.path);
  return lists;
}

bool SettingsIndex::knowsSection(const StoredFile& f, std::string_view section) const {
  return !slots(f, section).empty();
}

std::optional<KnownKey> SettingsIndex::find(const StoredFile& f, std::string_view section,
                                            std::string_view key) const {
  const std::string wanted = lowerAscii(key);
  for (const std::vector<Slot>* list : slots(f, section)) {
    if (auto known = find(f, *list, wanted)) return known;
  }
  return screenColour(f, section, key);
}

std::optional<KnownKey> SettingsIndex::find(const StoredFile& f, const std::vector<Slot>& list,
                                            const std::string& wanted) const {
  for (const Slot& slot : list) {
    trasso::Selection s = slot.selection;
    if (trasso::takesProfilePath(*slot.entry)) {
      s.path = f.path;
    }
    if (slot.numbered) {
      const std::optional<int> n = trasso::numberAfter(wanted, slot.key);
      if (!n) continue;
      s.number = *n;
    } else if (slot.key != wanted) {
      continue;
    }
    // A field both sides share goes with the side that is stored, as list shows it.
    if (slot.entry->selector == SelectorKind::Field &&
        slot.entry->fields[s.which].decl.key.choice != trasso::KeyChoice::Side) {
      s.number = trasso::storedSide(*slot.entry, s.path);
    }
    return KnownKey{slot.entry, s, trasso::declarationOf(*slot.entry, s)};
  }
  return std::nullopt;
}

SettingsIndex::Closest SettingsIndex::closestKey(const StoredFile& f, std::string_view section,
                                                 std::string_view key) const {
  Closest best;
  const std::string wanted = lowerAscii(key);
  for (const std::vector<Slot>* list : slots(f, section)) {
    for (const Slot& slot : *list) {
      const size_t d = editDistance(wanted, slot.key);
      if (d < best.distance) best = {slot.shown, slot.entry, d};
    }
  }
  return best;
}

std::vector<int> SettingsIndex::idsOf(const StoredFile& f) const {
  std::vector<int> ids;
  if (const auto id = fileIds_.find(slotKey(f.path, "")); f.root >= 0 && id != fileIds_.end()) {
    ids.push_back(id->second);
  }
  if (const trasso::facts::ProfilePlace* p = trasso::facts::profilePlace(f.profile)) {
    ids.push_back(static_cast<int>(p->file));
  }
  return ids;
}

bool SettingsIndex::readOutsideRegistry(const StoredFile& f, std::string_view section,
                                        std::string_view key) const {
  for (const int id : idsOf(f)) {
    const auto file = static_cast<SettingsFile>(id);
    if (trasso::facts::findKeyOutsideRegistry(file, section, key)) return true;
    for (const trasso::facts::CatalogueSection& c : trasso::facts::catalogueSections()) {
      if (c.file == file && trasso::ini::sameName(c.section, section)) return true;
    }
  }
  return false;
}

bool SettingsIndex::knowsEveryKey(const StoredFile& f) const { return !idsOf(f).empty(); }

bool SettingsIndex::readsSectionElsewhere(const StoredFile& f, std::string_view section) const {
  const std::vector<int> own = idsOf(f);
  for (int id = 0; trasso::SettingsFileName(id) != nullptr; ++id) {
    if (std::find(own.begin(), own.end(), id) != own.end()) continue;
    const std::string path = native(trasso::SettingsFilePath(id));
    if (knowsSection(StoredFile{path, trasso::SettingsFileName(id), trasso::settingsFileRoot(id),
                                profileAreaOfPath(path, false)},
                     section)) {
      return true;
    }
  }
  return false;
}

std::vector<SettingsIndex::Home> SettingsIndex::homes(const StoredFile& f, std::string_view section,
                                                      std::string_view key) const {
  std::vector<Home> out;
  const std::vector<int> own = idsOf(f);
  for (int id = 0; trasso::SettingsFileName(id) != nullptr; ++id) {
    if (std::find(own.begin(), own.end(), id) != own.end()) continue;
    const std::string path = native(trasso::SettingsFilePath(id));
    const StoredFile home{path, trasso::SettingsFileName(id), trasso::settingsFileRoot(id),
                          profileAreaOfPath(path, false)};
    if (std::optional<KnownKey> known = find(home, section, key)) {
      out.push_back(Home{home, known});
    } else if (trasso::facts::findKeyOutsideRegistry(static_cast<SettingsFile>(id), section, key)) {
      out.push_back(Home{home, std::nullopt});
    }
  }
  return out;
}

std::string SettingsIndex::guessProfileArea(const std::string& bytes) const {
  std::string best;
  size_t bestCount = 0;
  for (const trasso::facts::ProfilePlace& p : trasso::facts::profilePlaces()) {
    StoredFile f{std::string(), std::string(), -1, p.area};
    size_t count = 0;
    std::string section;
    trasso::ini::forEachLine(bytes, [&](const trasso::ini::LineView& line) {
      if (line.kind == trasso::ini::LineView::Section) section = std::string(line.name);
      if (line.kind == trasso::ini::LineView::Key && find(f, section, line.name)) ++count;
    });
    if (count > bestCount) {
      best = p.area;
      bestCount = count;
    }
  }
  return best;
}

std::string unreadableRoots() {
  std::string why;
  for (int root = 0; root < 2; ++root) {
    std::string folder = native(trasso::AppDataFolder(root, "inf"));
    folder.pop_back();  // the separator after "inf"
    struct stat st {};
    std::string problem;
    if (::stat(folder.c_str(), &st) != 0) {
      problem = errno == ENOTDIR ? "has a file in its path" : "does not exist";
    } else if (!S_ISDIR(st.st_mode)) {
      problem = "is no folder";
    } else if (DIR* dir = ::opendir(folder.c_str())) {
      ::closedir(dir);
      continue;
    } else {
      problem = std::string("cannot be read (") + std::strerror(errno) + ")";
    }
    why += (why.empty() ? "" : "; ") + std::string("settings folder ") + folder + " of root " +
           std::to_string(root) + " " + problem;
    const char* variable = root == 0 ? "KORVEL_APPDATA_0" : "KORVEL_APPDATA_1";
    const char* value = std::getenv(variable);
    why += value && *value ? std::string(" (") + variable + "=" + value + ")"
                           : std::string(" (") + variable + " is not set: the default place)";
  }
  return why;
}

}  // namespace jkn
