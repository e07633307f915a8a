// What lies in the settings folders, as the commands that look at whole files
// (check, dump, load) see it: the files of both roots' "inf" folders and of
// caller-named profiles, and which registry setting a stored key is.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Registry.h"
#include "SettingText.h"
#include "ShellWords.h"
#include "StoredFiles.h"

namespace jkn {

// One folder entry or named profile.
struct StoredFile {
  std::string path;        // native path
  std::string name;        // file name
  int root = -1;           // 0 or 1; -1 for a caller-named profile
  std::string profile;     // area of the profile entries that read it ("ZETR", ...), or empty
  bool bothRoots = false;  // both roots name its folder
};

// The entries of both roots' "inf" folders (root 0 first, each sorted by name),
// then the named profiles. A missing folder has no entries; a folder both roots
// name is listed once, each file under the root that reads it.
std::vector<StoredFile> storedFiles(const std::vector<std::string>& profiles);

// The file at a native path as storedFiles would list it: under the root
// whose "inf" folder holds it, else as a caller-named profile.
StoredFile storedFileOf(const std::string& nativePath);

bool isIniName(const std::string& name);
// Whether path names a folder (or a link to one).
bool isFolder(const std::string& path);
// What stands at a path (a link followed), in a word: "file", "folder",
// "pipe", "device", "socket", "bad link" (a link that leads nowhere),
// "no file" (anything else); empty when nothing does.
std::string entryKind(const std::string& path);
// What stands where a settings file belongs, when it is none ("a folder", "a
// broken link").
std::string entryPhrase(trasso::stored::EntryKind kind);
// A library path as the user reads it.
std::string shownPath(const std::string& path);

using trasso::stored::fileIdentity;
using trasso::stored::folderOf;
using trasso::stored::joinPath;
using trasso::stored::lastSeparator;
using trasso::stored::nativeForm;
using trasso::stored::readingRoot;

// Commands that mend a file, in the platform's shell (cmd on Windows): the
// library's own, so jkn and the C interface suggest the same words.
inline std::string shellQuoted(const std::string& s) { return trasso::shell::quoted(s); }
using trasso::shell::makeFolderCommand;
using trasso::shell::makeReadableCommand;
using trasso::shell::makeWritableCommand;
using trasso::shell::moveCommand;
using trasso::shell::removeCommand;
using trasso::shell::toCodePage932Command;

// A stored key that a registry entry reads.
struct KnownKey {
  const trasso::SettingEntry* entry;
  trasso::Selection selection;
  trasso::Declaration decl;
};

// Registry entries by the file, section and key they read; names compare as
// the reader compares them (ASCII letters without case).
class SettingsIndex {
 public:
  SettingsIndex();

  std::optional<KnownKey> find(const StoredFile& f, std::string_view section,
                               std::string_view key) const;
  bool knowsSection(const StoredFile& f, std::string_view section) const;
  // The known key of the section nearest to key ("<n>" for a number), its
  // setting and its edit distance; no entry when the section has none.
  struct Closest {
    std::string key;
    const trasso::SettingEntry* entry = nullptr;
    size_t distance = SIZE_MAX;
  };
  Closest closestKey(const StoredFile& f, std::string_view section, std::string_view key) const;
  // Whether a function outside the registry reads key of section from this
  // file; every key of a section a catalogue function reads by its own pattern.
  bool readOutsideRegistry(const StoredFile& f, std::string_view section,
                           std::string_view key) const;
  // Whether the library knows every key the application reads from the file:
  // a settings file of the catalogue, a profile of a known area.
  bool knowsEveryKey(const StoredFile& f) const;
  // Whether the application reads section from a settings file other than f's.
  bool readsSectionElsewhere(const StoredFile& f, std::string_view section) const;
  // The other places the application reads key of section from: each settings
  // file (a profile area's at its standard place) whose setting or function
  // outside the registry reads it there, f's own file left out.
  struct Home {
    StoredFile file;
    std::optional<KnownKey> known;  // none: a function outside the registry
  };
  std::vector<Home> homes(const StoredFile& f, std::string_view section,
                          std::string_view key) const;
  // The profile area whose keys a file holds most of ("" when none).
  std::string guessProfileArea(const std::string& bytes) const;

 private:
  struct Slot {
    std::string key;    // lower case; for numbered entries the prefix
    std::string shown;  // the key as a person reads it ("<n>" for the number)
    bool numbered;
    const trasso::SettingEntry* entry;
    trasso::Selection selection;
  };
  // The keys of a section: the profile's (or the file's) and, for a profile at
  // its standard place, the catalogue file's as well.
  std::vector<const std::vector<Slot>*> slots(const StoredFile& f, std::string_view section) const;
  std::optional<KnownKey> find(const StoredFile& f, const std::vector<Slot>& list,
                               const std::string& wanted) const;
  // Screen colours: numbered sections of any catalogue file.
  std::optional<KnownKey> screenColour(const StoredFile& f, std::string_view section,
                                       std::string_view key) const;
  std::map<std::string, std::vector<Slot>> slots_;  // "<file tag>\n<section>" in lower case
  const trasso::SettingEntry* screenColour_ = nullptr;
  std::map<std::string, int> fileIds_;  // catalogue files by path
  // The catalogue ids of a file: its own, and its profile area's standard place.
  std::vector<int> idsOf(const StoredFile& f) const;
};

std::string lowerAscii(std::string_view s);
using trasso::editDistance;

// Why the settings folder of a root cannot be looked at (missing, no folder,
// unreadable), naming the folder and the variable that sets the root; empty
// when both can be. A look that saw nothing must not pass for a clean one.
std::string unreadableRoots();

}  // namespace jkn
