#include "SettingsWatch.h"

#include "Describe.h"
#include "ReadSnapshot.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"

namespace trasso {

namespace {

// What the getter read before a numbered family's key was stored.
std::optional<Value> unstored(const SettingEntry& e, const Selection& s) {
  if (e.selector == SelectorKind::CallerDefault) return std::nullopt;
  return declarationOf(e, s).def;
}

}  // namespace

SettingsWatch::SettingsWatch(std::vector<const SettingEntry*> entries)
    : entries_(std::move(entries)) {
  if (!watcher_.error().empty()) throw WatchError{watcher_.error()};
  fileio::ReadSnapshot scope;
  for (const SettingEntry* e : entries_) {
    if (e->selector == SelectorKind::Entry || e->selector == SelectorKind::CallerDefault) {
      families_.push_back(Family{e, fileOf(pathOf(*e, keySelections(*e).front()))});
    } else if (e->selector == SelectorKind::ScreenColour) {
      for (int id = 0; SettingsFileName(id) != nullptr; ++id) {
        families_.push_back(Family{e, fileOf(SettingsFilePath(id)), id});
      }
    }
    const bool listed = e->selector == SelectorKind::Entry ||
                        e->selector == SelectorKind::CallerDefault ||
                        e->selector == SelectorKind::ScreenColour;
    for (const Selection& s : listed ? listedSelections(*e) : keySelections(*e)) {
      add(*e, s, readValue(*e, s));
    }
  }
}

bool SettingsWatch::addProfile(const std::string& path) {
  bool any = false;
  fileio::ReadSnapshot scope;
  for (const SettingEntry* e : entries_) {
    if (!takesProfilePath(*e)) continue;
    any = true;
    for (Selection s : keySelections(*e)) {
      s.path = path;
      add(*e, s, readValue(*e, s));
    }
  }
  return any;
}

size_t SettingsWatch::fileOf(const std::string& path) {
  const std::string native = fileio::nativePath(path);
  const auto [at, added] = fileIndex_.emplace(native, files_.size());
  if (added) {
    if (!watcher_.add(native)) {
      fileIndex_.erase(at);
      throw WatchError{watcher_.error()};
    }
    files_.push_back(path);
  }
  return at->second;
}

void SettingsWatch::add(const SettingEntry& e, const Selection& s, std::optional<Value> value) {
  const size_t file = fileOf(pathOf(e, s));
  if (!watched_.insert(std::string(e.name) + '\n' + showSelector(e, s)).second) return;
  items_.push_back(Item{&e, s, file, std::move(value)});
}

void SettingsWatch::readAgain(size_t file) {
  fileio::ReadSnapshot scope;  // the file is read once for all its settings
  const std::string native = fileio::nativePath(files_[file]);
  for (const Family& f : families_) {
    if (f.file != file) continue;
    const bool colours = f.entry->selector == SelectorKind::ScreenColour;
    for (const Selection& s :
         colours ? storedScreenColours(f.fileId) : listedSelections(*f.entry)) {
      if (fileio::nativePath(pathOf(*f.entry, s)) == native) {
        add(*f.entry, s, unstored(*f.entry, s));
      }
    }
  }
  for (Item& item : items_) {
    if (item.file != file) continue;
    std::optional<Value> now = readValue(*item.entry, item.selection);
    if (now == item.value) continue;  // reads give no NaN: == is the reader's equality
    const SettingEntry& e = *item.entry;
    const Declaration d = declarationOf(e, item.selection);
    JsonValue change = JsonValue::object();
    change.set("name", e.name);
    // A selector that holds a profile's path shows it as a path of this system.
    const bool path =
        e.selector == SelectorKind::Profile || (e.selector == SelectorKind::Field && e.inProfile);
    const std::string selector = showSelector(e, item.selection);
    change.set("selector", e.selector == SelectorKind::None ? JsonValue()
                           : path                           ? pathText(selector)
                                                            : textValue(selector));
    change.set("old", item.value ? typed(d, *item.value) : JsonValue());
    change.set("new", now ? typed(d, *now) : JsonValue());
    change.set("file", pathText(files_[file]));
    changes_.push_back(change.dumpLine());
    item.value = std::move(now);
  }
}

const std::string* SettingsWatch::next(int32_t timeoutMs) {
  const fileio::Deadline deadline(timeoutMs);
  for (int32_t wait = timeoutMs; changes_.empty(); wait = deadline.left()) {
    for (const size_t file : watcher_.changed(wait)) readAgain(file);
    if (wait == 0) break;
  }
  watcher_.setPending(!changes_.empty());
  return changes_.empty() ? nullptr : &changes_.front();
}

void SettingsWatch::pop() {
  if (!changes_.empty()) changes_.pop_front();
  watcher_.setPending(!changes_.empty());
}

}  // namespace trasso
