#include "Changes.h"

#include <unordered_map>
#include <unordered_set>

#include "Ini.h"
#include "Json.h"
#include "StoredFiles.h"
#include "Values.h"

namespace jkn {

using trasso::SelectorKind;

std::string keyId(const std::string& nativePath, std::string_view section, std::string_view key) {
  return trasso::stored::pathKey(nativePath) + "\n" + trasso::ini::foldedName(section) + "\n" +
         trasso::ini::foldedName(key);
}

std::unordered_map<std::string, std::string> storedValues(const std::string& nativePath,
                                                          std::string_view contents) {
  std::unordered_map<std::string, std::string> out;
  std::unordered_set<std::string> sections;
  std::unordered_set<std::string> keys;
  bool readable = false;
  std::string_view section;
  trasso::ini::forEachLine(contents, [&](const trasso::ini::LineView& l) {
    if (l.kind == trasso::ini::LineView::Section) {
      section = l.name;
      readable = sections.insert(trasso::ini::foldedName(l.name)).second;
      keys.clear();
    } else if (l.kind == trasso::ini::LineView::Key && readable &&
               keys.insert(trasso::ini::foldedName(l.name)).second && l.hasEquals) {
      out.emplace(keyId(nativePath, section, l.name), std::string(l.stored));
    }
  });
  return out;
}

std::vector<SideEffect> sideEffects(trasso::fileio::WriteBatch& batch,
                                    const std::unordered_set<std::string>& own) {
  std::vector<SideEffect> out;
  std::optional<SettingsIndex> index;  // made only when there is a key to look up
  for (const trasso::fileio::BatchFile& f : batch.files()) {
    std::optional<std::unordered_map<std::string, std::string>> before, after;
    StoredFile file;
    for (const trasso::fileio::KeyChange& k : trasso::fileio::changedKeys(f.before, f.after)) {
      const std::string id = keyId(f.path, k.section, k.key);
      if (own.count(id) != 0) continue;
      if (!index) index.emplace();
      if (!before) {
        before = storedValues(f.path, f.before);
        after = storedValues(f.path, f.after);
        file = storedFileOf(f.path);
        if (file.profile.empty() && file.root < 0) file.profile = index->guessProfileArea(f.after);
      }
      SideEffect s;
      s.path = f.path;
      s.section = k.section;
      s.key = k.key;
      s.setting = index->find(file, k.section, k.key);
      for (auto [values, text] : {std::pair{&*before, &s.before}, std::pair{&*after, &s.after}}) {
        const auto at = values->find(id);
        if (at != values->end()) *text = at->second;
      }
      if (s.setting && s.setting->entry->put != nullptr) {
        batch.showBefore(true);
        s.beforeValue = trasso::readValue(*s.setting->entry, s.setting->selection);
        batch.showBefore(false);
        s.afterValue = trasso::readValue(*s.setting->entry, s.setting->selection);
        if (s.beforeValue == s.afterValue) continue;
      } else if (s.before == s.after) {
        continue;
      } else {
        s.setting.reset();  // a read-only setting's key: shown by its place
      }
      out.push_back(std::move(s));
    }
  }
  return out;
}

std::string sideEffectLine(const SideEffect& s, const std::string& who) {
  return label(s) + ": " + shownStored(s.before) + " -> " + shownStored(s.after) +
         " (also written by the setter of " + who + ")";
}

nlohmann::json sideEffectJson(const SideEffect& s) {
  using nlohmann::json;
  json j = s.setting ? out::setting(*s.setting->entry, s.setting->selection)
                     : json{{"name", nullptr}, {"selector", nullptr}};
  j.update(out::place(s.path, s.section, s.key));
  const auto value = [&s](bool after) {
    if (s.setting) return out::value(s.setting->decl, after ? s.afterValue : s.beforeValue);
    const std::optional<std::string>& text = after ? s.after : s.before;
    return text ? out::name(*text) : json(nullptr);
  };
  j["before"] = value(false);
  j["value"] = value(true);
  return j;
}

std::string settingLabel(const trasso::SettingEntry& e, const trasso::Selection& s) {
  if (e.selector == SelectorKind::None || e.selector == SelectorKind::Profile) return e.name;
  return std::string(e.name) + " " +
         (e.selector == SelectorKind::Field ? trasso::showField(e, s) : jkn::showSelector(e, s));
}

std::string label(const SideEffect& s) {
  if (s.setting) return settingLabel(*s.setting->entry, s.setting->selection);
  return shownPath(s.path) + " [" + toUtf8(s.section) + "] " + toUtf8(s.key);
}

std::string shownStored(const std::optional<std::string>& stored) {
  return stored ? "'" + toUtf8(*stored) + "'" : std::string("(not stored)");
}

}  // namespace jkn
