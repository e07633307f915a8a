// A watch of settings (jkn_watch_*): the values their getters read, file by
// file, and the changes found when the system says a file may have changed.
// A file is read again whole and each of its watched settings compared as the
// getter reads it, so a change never disagrees with the getter and a write
// that leaves a value as it reads gives none.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FileWatcher.h"
#include "Registry.h"

namespace trasso {

// The system gave no watch: the message says why.
struct WatchError {
  std::string message;
};

class SettingsWatch {
 public:
  // Watches the entries at every selection listed now, in the files of the
  // roots as they are now. Throws WatchError.
  explicit SettingsWatch(std::vector<const SettingEntry*> entries);

  // Watches the entries that take a profile path in the profile at path too;
  // false when no watched entry takes one. Throws WatchError.
  bool addProfile(const std::string& path);

  // The next change as one JSON object, waiting up to timeoutMs (negative: no
  // limit) for one; null when none came. It stays first until pop().
  const std::string* next(int32_t timeoutMs);
  void pop();

  intptr_t descriptor() const { return watcher_.descriptor(); }

 private:
  struct Item {
    const SettingEntry* entry;
    Selection selection;
    size_t file;
    std::optional<Value> value;
  };
  // A numbered family, whose selections are the keys its file holds now;
  // screen colours by the file's id.
  struct Family {
    const SettingEntry* entry;
    size_t file;
    int fileId = -1;
  };

  size_t fileOf(const std::string& path);
  void add(const SettingEntry& e, const Selection& s, std::optional<Value> value);
  void readAgain(size_t file);

  fileio::FileWatcher watcher_;
  std::vector<const SettingEntry*> entries_;
  std::vector<std::string> files_;  // library paths, by the watcher's index
  std::map<std::string, size_t> fileIndex_;
  std::vector<Item> items_;
  std::set<std::string> watched_;  // "name\nselector" of each item
  std::vector<Family> families_;
  std::deque<std::string> changes_;
};

}  // namespace trasso
