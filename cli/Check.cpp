// jkn check: every place of the settings folders where what the application
// reads differs from what a person reading the file would expect, with the
// reason and a fix as operations (Fixes.h). It reads with the INI layer's own
// line walker and the registry's own getters, so "read" is what the
// application gets; it changes nothing unless asked to apply the fixes.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_map>

#include "CodePage932.h"
#include "Commands.h"
#include "Fixes.h"
#include "Ini.h"
#include "Json.h"
#include "ReadSnapshot.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "StoreFacts.h"
#include "Stored.h"
#include "TextConversion.h"
#include "Values.h"

namespace jkn {
namespace {

using nlohmann::json;
using trasso::ValueKind;
using trasso::ini::LineView;

// A key of a repeated section, with what the application reads instead.
struct Hidden {
  size_t line;
  std::string stored;
  KnownKey known;
  trasso::Value read;
};

struct Finding {
  Finding(std::string file, size_t line, std::string kind,
          std::optional<KnownKey> setting = std::nullopt)
      : file(std::move(file)), line(line), kind(std::move(kind)), setting(std::move(setting)) {}

  std::string file;  // native path
  size_t line = 0;   // 0: the file as a whole
  std::string kind;
  std::optional<KnownKey> setting;
  std::optional<std::string> section, key;  // of a line's key
  std::string stored;                       // the line's bytes
  std::optional<trasso::Value> read;        // what the application reads of the setting
  std::string readText;                     // what it reads, in words
  std::string why;
  std::vector<Fix> fixes;  // one: the fix; more: a choice among them
  // Why the fix cannot be carried out now: the file, jkn's exit status of the
  // write that would fail, and the message; empty why: it can.
  struct Blocked {
    std::string file;
    int status = 0;
    std::string why;
  } blocked;
  std::vector<Hidden> hides;
};

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// A value as a shell word: as it is when the shell reads it so, else quoted.
std::string shellWord(const std::string& s) {
  const bool plain = !s.empty() && s.find_first_not_of(
                                       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                       "0123456789+-.,:/_@%") == std::string::npos;
  return plain ? s : shellQuoted(s);
}

std::string hexByte(char c) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
  return hex;
}

std::string lineWords(const std::vector<size_t>& numbers) {
  std::string out = numbers.size() == 1 ? "line " : "lines ";
  for (size_t i = 0; i < numbers.size(); ++i) {
    out += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + std::to_string(numbers[i]);
  }
  return out;
}

// Whether a person would read t as a number with a base prefix in upper case
// ("0X1F"), which the integer rule does not take.
bool upperPrefix(std::string_view t) {
  const size_t i = !t.empty() && (t[0] == '+' || t[0] == '-') ? 1 : 0;
  return t.size() - i > 2 && t[i] == '0' && std::strchr("XOB", t[i + 1]) != nullptr;
}

// Whether the integer rule reads the whole of t.
bool wholeNumber(std::string_view t, const trasso::IntReading& r) {
  return r.digits > 0 && r.stop == t.size();
}

// The value without a trailing "; note", which a person takes for a comment.
std::string_view withoutNote(std::string_view v) {
  for (size_t i = 1; i < v.size(); ++i) {
    if (v[i] == ';' && (v[i - 1] == ' ' || v[i - 1] == '\t')) {
      v = v.substr(0, i);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      break;
    }
  }
  return v;
}

// A file saved by an editor in UTF-8: UTF-8 as the library takes it, with
// characters beyond ASCII.
bool looksLikeUtf8(std::string_view t) {
  return trasso::text::isUtf8(t) && std::any_of(t.begin(), t.end(), [](char c) {
           return static_cast<unsigned char>(c) > 0x7F;
         });
}

// A line as its writer sees it: a line saved in UTF-8 as it is, else its
// code page 932 text.
std::string shownLine(std::string_view bytes) {
  const std::string b(bytes);
  return looksLikeUtf8(b) ? b : toUtf8(b);
}

size_t utf8Width(unsigned char b) { return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4; }

// UTF-8 text in code page 932, the characters it lacks left out (and named).
std::string toCp932Dropping(const std::string& utf8, std::string* lacking) {
  if (const std::optional<std::string> whole = toCp932(utf8)) return *whole;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = std::min(utf8Width(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    if (const std::optional<std::string> c = toCp932(utf8.substr(i, n))) {
      out += *c;
    } else if (lacking != nullptr && lacking->find(utf8.substr(i, n)) == std::string::npos) {
      *lacking += (lacking->empty() ? "" : ", ") + quoted(utf8.substr(i, n));
    }
    i += n;
  }
  return out;
}

// The code page 932 characters of bytes, without the bytes that are none.
std::string cp932Only(std::string_view bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = trasso::cp932::charWidth(bytes, i);
    if (trasso::cp932::isText(bytes.substr(i, n))) {
      out.append(bytes.substr(i, n));
      i += n;
    } else {
      ++i;  // a bad second byte may be a character of its own
    }
  }
  return out;
}

std::string title(const KnownKey& k) {
  const std::string selector = jkn::showSelector(*k.entry, k.selection);
  return k.entry->selector == trasso::SelectorKind::None ||
                 k.entry->selector == trasso::SelectorKind::Profile
             ? std::string(k.entry->name)
             : std::string(k.entry->name) + " " + selector;
}

std::string shown(const KnownKey& k, const trasso::Value& v) {
  const std::string text = showValue(k.decl, v, false);
  return k.decl.kind == ValueKind::Text ? "\"" + text + "\"" : text;
}

// The setting as jkn set and reset take it: the name, and the selector
// unless it is the one they choose when none is given.
std::vector<std::string> commandWords(const KnownKey& k) {
  const std::string selector = jkn::showSelector(*k.entry, k.selection);
  if (selector.empty()) return {k.entry->name};
  try {
    if (jkn::showSelector(*k.entry, jkn::parseSelector(*k.entry, std::nullopt)) == selector) {
      return {k.entry->name};
    }
  } catch (const Refusal&) {
  }
  return {k.entry->name, selector};
}

Step jknStep(const std::vector<std::string>& words, std::vector<Edit> edits) {
  Step s{"jkn", {"jkn"}, std::move(edits)};
  for (const std::string& w : words) {
    s.text += " " + shellWord(w);
    s.argv.push_back(w);
  }
  return s;
}

Step editStep(Edit e, std::string text) { return Step{std::move(text), {}, {std::move(e)}}; }

// A step only a person can take: no command or edit does it.
Step byHand(std::string text) { return Step{std::move(text), {}, {}}; }

std::string sectionWords(const std::optional<std::string>& section) {
  return section ? "of [" + toUtf8(*section) + "]" : "before the first section";
}

// Deletes the lines reading exactly line; keepRead spares the one the reader
// takes for its key (sameAsRead: that one reads the same).
Step deleteLineStep(const std::string& file, const std::optional<std::string>& section,
                    std::string_view line, bool keepRead, bool sameAsRead, bool dropEmpty) {
  Edit e{Edit::DeleteLine, file, section};
  e.line = std::string(line);
  e.keepRead = keepRead;
  e.dropEmptySection = dropEmpty;
  return editStep(e, "delete the line " + quoted(shownLine(e.line)) + " " + sectionWords(section) +
                         " from " + file + (keepRead && sameAsRead ? ", keeping the first" : "") +
                         (dropEmpty ? " (and the section once it holds no key)" : ""));
}

Step deleteSectionStep(const std::string& file, const std::string& section, bool keepFirst) {
  Edit e{Edit::DeleteSection, file, section};
  e.keepRead = keepFirst;
  return editStep(e, keepFirst
                         ? "delete the repeated sections [" + toUtf8(section) +
                               "] with their lines from " + file + ", keeping the first"
                         : "delete section [" + toUtf8(section) + "] with its lines from " + file);
}

Step replaceLineStep(const std::string& file, const std::optional<std::string>& section,
                     std::string_view line, const std::string& to,
                     const std::string& verb = "change") {
  Edit e{Edit::ReplaceLine, file, section};
  e.line = std::string(line);
  e.text = to;
  return editStep(e, verb + " the line " + quoted(shownLine(e.line)) + " " + sectionWords(section) +
                         " in " + file + " to " + quoted(toUtf8(to)));
}

// Re-saves a file of text encoding `from` in code page 932; the command
// shown leaves nothing behind when it fails.
Step reencodeStep(const std::string& file, const std::string& from) {
  Edit e{Edit::ReEncode, file};
  e.text = from;
  return editStep(e, toCodePage932Command(file, from));
}

// The first word of a command of the platform's shell.
std::string commandWord(const std::string& command) { return command.substr(0, command.find(' ')); }

Step removeStep(const std::string& path, bool folder, Edit::Kind kind = Edit::RemoveFile) {
  const std::string command = removeCommand(path, folder);
  return Step{command, {commandWord(command), path}, {Edit{kind, path}}};
}

// Moving a file where the application reads it; when a file is there already,
// whatever this one holds must go into it by hand.
Fix moveFix(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::stat(to.c_str(), &st) == 0) {
    return Fix{"", {byHand("move what you need of it into " + to), removeStep(from, false)}};
  }
  const std::string command = moveCommand(from, to);
  Edit e{Edit::MoveFile, from};
  e.text = to;
  return Fix{"", {Step{command, {commandWord(command), from, to}, {e}}}};
}

// The lines the reader takes for each key of other files, each file read once.
class Files {
 public:
  std::optional<std::string> readLine(const std::string& path, std::string_view section,
                                      std::string_view key) {
    auto it = lines_.find(path);
    if (it == lines_.end()) {
      std::string bytes;
      trasso::fileio::readFile(path, bytes);
      std::unordered_map<std::string, std::string> read;
      const FileLayout layout(bytes);
      for (const FileLayout::Line& l : layout.lines) {
        if (l.readKey) read.emplace(slot(layout.blocks[l.block].name, l.view.name), l.view.text);
      }
      it = lines_.emplace(path, std::move(read)).first;
    }
    const auto line = it->second.find(slot(section, key));
    return line == it->second.end() ? std::nullopt : std::optional<std::string>(line->second);
  }

 private:
  static std::string slot(std::string_view section, std::string_view key) {
    return trasso::ini::foldedName(section) + "\n" + trasso::ini::foldedName(key);
  }
  std::map<std::string, std::unordered_map<std::string, std::string>> lines_;
};

class FileChecker {
 public:
  FileChecker(const StoredFile& f, const SettingsIndex& index, Files& files,
              std::vector<Finding>& out)
      : f_(f), index_(index), files_(files), out_(out) {}

  void check(const std::string& bytes) {
    const size_t first = out_.size();
    // A file saved whole in UTF-8 is mended by one conversion of the whole.
    utf8File_ = looksLikeUtf8(bytes) && toCp932(bytes).has_value();
    if (utf8File_) utf8File(bytes);
    const FileLayout layout(bytes);
    std::set<std::string> outside;
    for (const FileLayout::Line& l : layout.lines) {
      const LineView& v = l.view;
      if (l.block >= 0 || v.kind != LineView::Key || isNote(v.name)) continue;
      covered_.insert(v.number);
      if (!outside.insert(std::string(v.text)).second) continue;
      add(v, "outside-section", std::nullopt, "nothing", "a line before the first section line",
          {Fix{"", {deleteLineStep(f_.path, std::nullopt, v.text, false, false, false)}}});
    }
    std::map<std::string, std::vector<size_t>> repeats;
    for (size_t b = 0; b < layout.blocks.size(); ++b) {
      repeats[trasso::ini::foldedName(layout.blocks[b].name)].push_back(b);
    }
    for (size_t b = 0; b < layout.blocks.size(); ++b) {
      if (!layout.blocks[b].read) continue;
      section(layout, layout.blocks[b]);
      const std::vector<size_t>& same = repeats[trasso::ini::foldedName(layout.blocks[b].name)];
      if (same.size() > 1) repeated(layout, same);
    }
    for (const FileLayout::Line& l : layout.lines) {
      if (l.view.kind != LineView::Section && !covered_.count(l.view.number) &&
          (l.block < 0 || layout.blocks[l.block].read)) {
        codePage(l.view, std::nullopt, SIZE_MAX);
      }
    }
    std::stable_sort(out_.begin() + static_cast<std::ptrdiff_t>(first), out_.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
  }

 private:
  void add(const LineView& l, std::string kind, const std::optional<KnownKey>& k,
           std::string readText, std::string why, std::vector<Fix> fixes,
           std::optional<trasso::Value> read = std::nullopt) {
    Finding x{f_.path, l.number, std::move(kind), k};
    if (l.kind == LineView::Key) x.key = std::string(l.name);
    if (l.kind != LineView::Blank) x.section = section_;
    if (!inSection_) x.section.reset();
    x.stored = std::string(l.text);
    x.read = std::move(read);
    x.readText = std::move(readText);
    x.why = std::move(why);
    x.fixes = std::move(fixes);
    out_.push_back(std::move(x));
  }

  // A finding of a key's line: what the application reads of it.
  void addRead(const LineView& l, std::string kind, const KnownKey& k, std::string why, Fix fix,
               std::optional<std::string> readText = std::nullopt) {
    const trasso::Value read = k.entry->get(k.selection);
    add(l, std::move(kind), k, readText ? *readText : shown(k, read), std::move(why),
        {std::move(fix)}, read);
  }

  void utf8File(const std::string& bytes) {
    std::string example;
    trasso::ini::forEachLine(bytes, [&](const LineView& l) {
      if (example.empty() && looksLikeUtf8(l.text)) {
        const std::string text(l.text);
        example = "line " + std::to_string(l.number) + " " + quoted(text) + " reads as " +
                  quoted(toUtf8(text));
      }
    });
    out_.push_back(Finding{f_.path, 0, "utf-8"});
    out_.back().readText = "nothing";
    out_.back().why = "saved as UTF-8, but the application reads code page 932: " + example;
    out_.back().fixes = {Fix{"", {reencodeStep(f_.path, "UTF-8")}}};
  }

  void section(const FileLayout& layout, const FileLayout::Block& block) {
    section_ = block.name;
    inSection_ = true;
    std::vector<std::vector<size_t>> groups;
    std::unordered_map<std::string, size_t> byName;
    names_.clear();
    for (size_t i = block.first + 1; i < block.end; ++i) {
      const LineView& v = layout.lines[i].view;
      if (v.kind != LineView::Key || isNote(v.name)) continue;
      const auto [it, fresh] = byName.emplace(trasso::ini::foldedName(v.name), groups.size());
      if (fresh) groups.emplace_back();
      groups[it->second].push_back(i);
      names_.insert(it->first);
    }
    // Whether the application reads anything of this section from this file.
    unread_ = !index_.knowsSection(f_, section_) && !index_.readOutsideRegistry(f_, section_, "");
    for (const std::vector<size_t>& g : groups) {
      const std::string_view name = layout.lines[g[0]].view.name;
      unread_ = unread_ && !index_.find(f_, section_, name) &&
                !index_.readOutsideRegistry(f_, section_, name);
    }
    // A section of another file, left here without keys.
    if (groups.empty() && unread_ && index_.knowsEveryKey(f_) &&
        !index_.knowsSection(f_, section_) && index_.readsSectionElsewhere(f_, section_)) {
      add(layout.lines[block.first].view, "empty-section", std::nullopt, "nothing",
          "the application reads section [" + toUtf8(section_) + "] from another file, never " +
              "from " + f_.name + ", and it holds no key here",
          {Fix{"", {deleteSectionStep(f_.path, section_, false)}}});
    }
    for (const std::vector<size_t>& g : groups) keyLines(layout, g);
  }

  void keyLines(const FileLayout& layout, const std::vector<size_t>& g) {
    std::vector<const LineView*> lines;
    for (size_t i : g) lines.push_back(&layout.lines[i].view);
    const LineView& first = *lines[0];
    const std::optional<KnownKey> known = index_.find(f_, section_, first.name);
    if (utf8File_ && looksLikeUtf8(first.text)) {
      for (const LineView* l : lines) covered_.insert(l->number);  // the re-saving mends them
      return;
    }
    if (!known &&
        (!trasso::ini::isStorableSection(section_) || !trasso::ini::isStorableKey(first.name))) {
      // A dump carries this key, and load refuses it.
      coverAll(lines);
      add(first, "not-storable", std::nullopt, "nothing",
          "a name no writer can store (an empty key, a key starting with '[', a NUL byte): no "
          "setting reads it, and jkn load refuses it",
          {Fix{"", deleteAll(lines, false)}});
      return;
    }
    if (known) return knownKey(lines, *known);
    const bool readElsewhere = index_.readOutsideRegistry(f_, section_, first.name);
    const std::vector<SettingsIndex::Home> homes = readElsewhere || f_.root < 0
                                                       ? std::vector<SettingsIndex::Home>()
                                                       : index_.homes(f_, section_, first.name);
    if (!homes.empty()) return moved(lines, homes);
    if (!readElsewhere && index_.knowsEveryKey(f_)) return unknown(lines);
    duplicates(lines);
  }

  void coverAll(const std::vector<const LineView*>& lines) {
    for (const LineView* l : lines) covered_.insert(l->number);
  }

  // Steps deleting every line of the key (all but the read one when keepRead).
  std::vector<Step> deleteAll(const std::vector<const LineView*>& lines, bool keepRead,
                              bool dropEmpty = false) {
    std::vector<Step> steps;
    std::set<std::string_view> texts;
    for (const LineView* l : lines) {
      if (keepRead && l == lines[0]) continue;
      if (texts.insert(l->text).second) {
        steps.push_back(deleteLineStep(f_.path, section_, l->text, keepRead,
                                       l->text == lines[0]->text, dropEmpty));
      }
    }
    return steps;
  }

  // The key lines of a setting: its value (or its missing '='), and the lines
  // it hides, which all go; where they differ, which value stays is a choice.
  void knownKey(const std::vector<const LineView*>& lines, const KnownKey& k) {
    const LineView& first = *lines[0];
    const size_t at = out_.size();
    if (!first.hasEquals) {
      noEquals(first, k);
    } else {
      value(first, k);
    }
    coverAll(lines);
    if (lines.size() == 1) return codePage(first, k, at);
    const std::vector<Step> hidden = deleteAll(lines, true);
    std::vector<std::string> others;  // values of hidden lines that read otherwise
    std::vector<size_t> numbers;
    for (size_t i = 1; i < lines.size(); ++i) {
      const LineView& l = *lines[i];
      numbers.push_back(l.number);
      const std::string v(l.stored);
      if (l.hasEquals && !(first.hasEquals && l.value == first.value) &&
          std::find(others.begin(), others.end(), v) == others.end()) {
        others.push_back(v);
      }
    }
    const bool issue = out_.size() > at;
    const std::vector<Step> own = issue ? out_[at].fixes.front().steps : std::vector<Step>();
    std::vector<Fix> fixes;
    Fix keep;
    // A line without '=' goes after the lines it hides, or they would read.
    keep.steps = first.hasEquals ? own : hidden;
    keep.steps.insert(keep.steps.end(), (first.hasEquals ? hidden : own).begin(),
                      (first.hasEquals ? hidden : own).end());
    if (!others.empty()) {
      keep.label = "keep " + shown(k, k.entry->get(k.selection)) + " (read now)";
    }
    fixes.push_back(keep);
    for (const std::string& v : others) {
      Fix take{"keep " + (k.decl.kind == ValueKind::Text ? "\"" + toUtf8(v) + "\"" : toUtf8(v)),
               {setRaw(k, v, f_.path)}};
      take.steps.insert(take.steps.end(), hidden.begin(), hidden.end());
      fixes.push_back(take);
    }
    if (issue) {
      for (size_t i = at; i < out_.size(); ++i) out_[i].fixes = fixes;
      out_[at].why = first.hasEquals
                         ? out_[at].why + "; it hides " + lineWords(numbers) + " of this key"
                         : "a key line without '=' reads the default and hides the later " +
                               lineWords(numbers) + " of this key";
      return;
    }
    const LineView& h = *lines[1];
    numbers.erase(numbers.begin());
    add(h, "duplicate-key", k, "nothing of this line",
        "key already set at line " + std::to_string(first.number) + "; only the first is read" +
            (numbers.empty() ? "" : " (" + lineWords(numbers) + " repeat it too)"),
        fixes);
  }

  // A key the library knows nothing of here, read by a function outside the
  // registry or in a file whose keys it does not know: only its repeats.
  void duplicates(const std::vector<const LineView*>& lines) {
    if (lines.size() == 1) return;
    coverAll(lines);
    const LineView& first = *lines[0];
    std::vector<Fix> fixes{Fix{"", deleteAll(lines, true)}};
    std::set<std::string_view> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
      const LineView& l = *lines[i];
      if (!l.hasEquals || (first.hasEquals && l.value == first.value) ||
          !seen.insert(l.stored).second) {
        continue;
      }
      Edit e{Edit::SetKey, f_.path, section_, std::string(first.name)};
      e.text = std::string(l.stored);
      Fix take{"keep " + quoted(toUtf8(e.text)),
               {editStep(e, "set " + quoted(toUtf8(e.key + "=" + e.text)) + " in [" +
                                toUtf8(section_) + "] of " + f_.path)}};
      for (const Step& s : fixes[0].steps) take.steps.push_back(s);
      fixes.push_back(take);
    }
    if (fixes.size() > 1) {
      fixes[0].label =
          "keep " +
          (first.hasEquals ? quoted(toUtf8(std::string(first.stored))) : std::string("nothing")) +
          " (read now)";
    }
    add(*lines[1], "duplicate-key", std::nullopt, "nothing of this line",
        "key already set at line " + std::to_string(first.number) + "; only the first is read",
        fixes);
  }

  // A key the application reads from another file (or section of it): it
  // goes there, unless that file holds another value of it (a choice).
  void moved(const std::vector<const LineView*>& lines,
             const std::vector<SettingsIndex::Home>& homes) {
    coverAll(lines);
    const LineView& first = *lines[0];
    const SettingsIndex::Home& home = homes.front();
    const std::vector<Step> drop = deleteAll(lines, false, unread_);
    const std::string setting =
        home.known ? title(*home.known) : "key " + toUtf8(std::string(first.name));
    std::string why = "the application reads " + setting + " from [" + toUtf8(section_) + "] of " +
                      home.file.name + ", never from " + f_.name;
    for (size_t i = 1; i < homes.size(); ++i) why += " (and of " + homes[i].file.name + ")";
    std::vector<Fix> fixes;
    const std::optional<std::string> there =
        trasso::readRaw(home.file.path, section_.c_str(), std::string(first.name).c_str());
    std::optional<trasso::Value> read;
    std::string readText = "nothing of this line";
    if (home.known) {
      read = home.known->entry->get(home.known->selection);
      readText += " (" + home.file.name + " gives " + shown(*home.known, *read) + ")";
    }
    if (!first.hasEquals) {
      fixes.push_back(Fix{"", drop});  // no value to carry
    } else {
      Fix take{"",
               {setRaw(home.known ? *home.known : KnownKey{nullptr, {}, {}},
                       std::string(first.stored), home.file.path, &first)}};
      take.steps.insert(take.steps.end(), drop.begin(), drop.end());
      if (there && *there != first.value) {
        fixes.push_back(Fix{"keep " + quoted(toUtf8(*there)) + " of " + home.file.name, drop});
        take.label = "keep " + quoted(toUtf8(std::string(first.value)));
      }
      fixes.push_back(take);
    }
    add(first, "wrong-file", home.known, readText, why, fixes, read);
  }

  void unknown(const std::vector<const LineView*>& lines) {
    coverAll(lines);
    const LineView& first = *lines[0];
    const std::string key(first.name);
    const SettingsIndex::Closest closest = index_.closestKey(f_, section_, key);
    std::string why = "no setting reads key " + quoted(toUtf8(key)) + " of [" + toUtf8(section_) +
                      "]" + (unread_ ? " in " + f_.name : "");
    if (lines.size() > 1) {
      std::vector<size_t> numbers;
      for (size_t i = 1; i < lines.size(); ++i) numbers.push_back(lines[i]->number);
      why += " (repeated at " + lineWords(numbers) + ")";
    }
    std::vector<Fix> fixes{Fix{"", deleteAll(lines, false, unread_)}};
    std::optional<KnownKey> meantKey;
    if (closest.entry != nullptr && closest.distance <= 2) {
      std::string meant = closest.key;
      // A numbered key ("Kkou<n>") is meant with its number in plain decimal.
      if (const size_t n = meant.find("<n>"); n != std::string::npos) {
        const std::string_view digits = std::string_view(key).substr(std::min(n, key.size()));
        int number = 0;
        const char* end = digits.data() + digits.size();
        const auto [last, error] =
            std::from_chars(digits.data() + (digits.substr(0, 1) == "+"), end, number);
        meant = error == std::errc() && last == end ? meant.substr(0, n) + std::to_string(number)
                                                    : std::string();
      }
      meantKey = meant.empty() ? std::nullopt : index_.find(f_, section_, meant);
      why += "; did you mean " + (meant.empty() ? closest.key : meant) + " (" +
             closest.entry->name + ")?";
      if (meantKey && !names_.count(trasso::ini::foldedName(meant))) {
        const size_t equals = first.text.find('=');
        const std::string to =
            meant + (equals == std::string::npos ? "" : std::string(first.text.substr(equals)));
        Fix rename{"rename it to " + meant, {replaceLineStep(f_.path, section_, first.text, to)}};
        if (lines.size() > 1) {
          for (const Step& s : deleteAll(lines, false)) rename.steps.push_back(s);
        }
        fixes[0].label = "delete it";
        fixes.insert(fixes.begin(), rename);
      } else {
        meantKey.reset();
      }
    } else if (closest.entry != nullptr) {
      why += "; the closest setting is " + std::string(closest.entry->name) + " (key " +
             closest.key + ")";
    }
    add(first, "unknown-key", meantKey, "nothing", why, fixes);
  }

  // The repeats of a section: the application reads none of their lines. They
  // go; where they hold values of settings other than those read, taking
  // them is a choice.
  void repeated(const FileLayout& layout, const std::vector<size_t>& blocks) {
    const FileLayout::Block& read = layout.blocks[blocks[0]];
    const LineView& head = layout.lines[layout.blocks[blocks[1]].first].view;
    section_ = read.name;
    std::vector<size_t> again;
    std::vector<Hidden> hides;
    std::vector<Step> take;
    std::set<std::string> keys;
    for (size_t b = 1; b < blocks.size(); ++b) {
      const FileLayout::Block& block = layout.blocks[blocks[b]];
      if (b > 1) again.push_back(layout.lines[block.first].view.number);
      for (size_t i = block.first; i < block.end; ++i) {
        const LineView& l = layout.lines[i].view;
        covered_.insert(l.number);
        if (l.kind != LineView::Key || !keys.insert(trasso::ini::foldedName(l.name)).second) {
          continue;
        }
        const std::optional<KnownKey> k = index_.find(f_, section_, l.name);
        if (!k) continue;
        const trasso::Value v = k->entry->get(k->selection);
        hides.push_back(Hidden{l.number, std::string(l.text), *k, v});
        if (l.hasEquals && trasso::valueText(k->decl, v) != l.value) {
          take.push_back(setRaw(*k, std::string(l.stored), f_.path));
        }
      }
    }
    const Step drop = deleteSectionStep(f_.path, std::string(head.name), true);
    std::vector<Fix> fixes{Fix{"", {drop}}};
    if (!take.empty()) {
      fixes[0].label = "keep what is read";
      take.push_back(drop);
      fixes.push_back(Fix{"take the values of the repeats", take});
    }
    add(head, "duplicate-section", std::nullopt, "nothing of this section",
        "section [" + toUtf8(std::string(head.name)) + "] already begins at line " +
            std::to_string(layout.lines[read.first].view.number) + "; only the first one is read" +
            (again.empty() ? "" : " (it begins again at " + lineWords(again) + ")"),
        fixes);
    out_.back().hides = std::move(hides);
  }

  // The step that makes k read the stored bytes v in file: jkn set where it
  // takes them as they are and writes nothing else, else the key set as it is.
  Step setRaw(const KnownKey& k, const std::string& v, const std::string& file,
              const LineView* line = nullptr) {
    if (k.entry != nullptr && k.entry->put != nullptr && k.entry->alsoWrites == nullptr &&
        k.entry->selector != trasso::SelectorKind::Field && isShowableCp932(v)) {
      try {
        const trasso::Value parsed = parseValue(*k.entry, k.decl, toUtf8(v), false);
        if (trasso::storedText(k.decl, parsed) == v) {
          if (std::optional<Step> s = setStep(k, toUtf8(v))) return *s;
        }
      } catch (const Refusal&) {
      }
    }
    Edit e{Edit::SetKey, file, k.entry ? std::string(k.decl.key.section) : section_};
    // A key of no setting comes with its line (line is null only for a setting's key).
    e.key = k.entry ? trasso::keyOf(*k.entry, k.selection)
                    : std::string(line != nullptr ? line->name : std::string_view());
    e.text = v;
    return editStep(e, "set " + quoted(toUtf8(e.key + "=" + v)) + " in [" + toUtf8(*e.section) +
                           "] of " + file);
  }

  // jkn set of k to text (as it takes it), and what --fix does for it: each
  // key the setter writes (a record's every field) as it writes it, expected
  // as check read it.
  std::optional<Step> setStep(const KnownKey& k, const std::string& text) {
    trasso::Value v;
    try {
      v = parseValue(*k.entry, k.decl, text, false);
    } catch (const Refusal&) {
      return std::nullopt;
    }
    if (k.entry->put == nullptr) return std::nullopt;
    std::vector<std::string> words{"set"};
    if (k.decl.kind == ValueKind::Text && !text.empty() && text[0] == '-') words.push_back("--");
    for (const std::string& w : commandWords(k)) words.push_back(w);
    words.push_back(text);
    std::vector<Edit> edits;
    for (const trasso::Selection& s : trasso::writtenSelections(*k.entry, k.selection)) {
      const trasso::Declaration d = trasso::declarationOf(*k.entry, s);
      const bool named = s.which == k.selection.which;
      Edit e{Edit::SetKey, keyFile(*k.entry, s), std::string(d.key.section),
             trasso::keyOf(*k.entry, s)};
      e.text = trasso::storedText(d, named ? v : k.entry->get(s));
      e.checked = true;
      e.expect = files_.readLine(e.file, *e.section, e.key);
      edits.push_back(e);
    }
    return jknStep(words, edits);
  }

  // The file of a setting's key: this one when it is read from here.
  std::string keyFile(const trasso::SettingEntry& e, const trasso::Selection& s) const {
    const std::string path = trasso::fileio::nativePath(trasso::pathOf(e, s));
    return fileIdentity(path) == fileIdentity(f_.path) ? f_.path : path;
  }

  Step resetStep(const KnownKey& k) {
    std::vector<std::string> words{"reset"};
    for (const std::string& w : commandWords(k)) words.push_back(w);
    Edit e{Edit::RemoveKey, keyFile(*k.entry, k.selection), std::string(k.decl.key.section),
           trasso::keyOf(*k.entry, k.selection)};
    e.checked = true;
    e.expect = files_.readLine(e.file, *e.section, e.key);
    return jknStep(words, {e});
  }

  void noEquals(const LineView& l, const KnownKey& k) {
    add(l, "no-equals", k, shown(k, k.decl.def),
        "a key line without '=' reads the default and hides any later line of this key",
        {Fix{"",
             {k.entry->put != nullptr
                  ? resetStep(k)
                  : deleteLineStep(f_.path, section_, l.text, false, false, false)}}},
        k.decl.def);
  }

  // The code page finding of a line: bytes that are no code page 932 text,
  // or UTF-8 text in a file of code page 932 text. at: the line's value
  // finding, whose fix mends the whole line.
  void codePage(const LineView& l, const std::optional<KnownKey>& k, size_t at) {
    const std::string text(l.text);
    const bool utf8 = looksLikeUtf8(text);
    if ((!utf8 && trasso::cp932::isText(text)) || (utf8 && utf8File_)) return;
    const bool read = k && l.hasEquals;
    Finding x{f_.path, l.number, "code-page", k};
    x.section = section_;
    if (!inSection_) x.section.reset();
    if (l.kind == LineView::Key) x.key = std::string(l.name);
    x.stored = text;
    if (read) x.read = k->entry->get(k->selection);
    x.readText = read ? shown(*k, *x.read) : toUtf8(text);
    // What is stored as a person reads it, the whole line or the value read.
    const std::string part = read ? std::string(l.value) : text;
    std::string lacking;
    if (utf8) {
      toCp932Dropping(part, &lacking);
      x.why =
          "UTF-8 text, but the application reads code page 932: " + quoted(part) + " reads as " +
          quoted(toUtf8(part)) +
          (lacking.empty() ? ""
                           : "; code page 932 has no " + lacking + ", which the fix leaves out");
    } else {
      std::string bad;
      for (size_t i = 0; i < text.size();) {
        const size_t n = trasso::cp932::charWidth(text, i);
        const bool whole = trasso::cp932::isText(std::string_view(text).substr(i, n));
        if (!whole && bad.find(hexByte(text[i])) == std::string::npos) bad += hexByte(text[i]);
        i += whole ? n : 1;
      }
      x.why = "bytes that are not code page 932 text: " + bad + " (shown as \\xNN)";
    }
    if (at != SIZE_MAX && out_.size() > at) {
      x.fixes = out_[at].fixes;  // the value's own fix mends the whole line
    } else if (std::optional<Step> s = read ? mend(l, *k) : std::nullopt) {
      x.fixes = {Fix{"", {*s}}};
    } else {
      const std::string to = utf8 ? toCp932Dropping(text, nullptr) : cp932Only(text);
      x.fixes = {Fix{"",
                     {replaceLineStep(f_.path, x.section, text, to,
                                      utf8 ? "change" : "drop the odd bytes of")}}};
    }
    out_.push_back(std::move(x));
  }

  // The step that stores text (as jkn set takes it) for k, whose key line is
  // l: jkn set, or for a read-only setting the line changed. None when the
  // setting does not take the text.
  std::optional<Step> store(const KnownKey& k, const std::string& text, const LineView& l) {
    if (k.entry->put != nullptr) return setStep(k, text);
    trasso::Value v;
    try {
      v = parseValue(*k.entry, k.decl, text, false);
    } catch (const Refusal&) {
      return std::nullopt;
    }
    return replaceLineStep(f_.path, section_, l.text,
                           std::string(l.name) + "=" + trasso::valueText(k.decl, v));
  }

  // The value nearest to v that the setter takes, as it would store it.
  static trasso::Value nearestTaken(const KnownKey& k, trasso::Value v) {
    const trasso::ValueLimits limits = trasso::limitsOf(*k.entry, k.selection);
    const std::optional<trasso::Range>& range = limits.range;
    if (double* d = std::get_if<double>(&v)) {
      const double scale = std::pow(10.0, k.decl.decimals);
      *d = std::round(*d * scale) / scale;
      if (range && *d > range->max) *d = std::floor(range->max * scale) / scale;
      if (range && *d < range->min) *d = std::ceil(range->min * scale) / scale;
    } else if (int64_t* i = std::get_if<int64_t>(&v); i && k.decl.kind != ValueKind::Colour) {
      int64_t low = limits.minValue, high = limits.maxValue;
      if (takesFlag(*k.entry, k.decl)) *i = *i != 0 ? 1 : 0;
      if (range) {
        low = std::max(low, static_cast<int64_t>(std::ceil(range->min)));
        high = std::min(high, static_cast<int64_t>(std::floor(range->max)));
      }
      *i = std::clamp(*i, low, std::max(low, high));
    }
    return v;
  }

  // A record's field whose value the setter would refuse goes with the named
  // field's fix: the record setter writes every field, and refuses the whole
  // record for one of them.
  std::optional<Step> recordStep(const KnownKey& k, const std::string& text) {
    std::vector<std::string> words{"set"};
    for (const std::string& w : commandWords(k)) words.push_back(w);
    words.push_back(text);
    std::vector<std::pair<int, trasso::Value>> fields;
    for (size_t i = 0; i < k.entry->fieldCount; ++i) {
      trasso::Selection s = k.selection;
      s.which = static_cast<int>(i);
      if (s.which == k.selection.which) continue;
      const trasso::Declaration d = trasso::declarationOf(*k.entry, s);
      const trasso::Value read = k.entry->get(s);
      try {
        trasso::parseValue(*k.entry, d, trasso::valueText(d, read));
        continue;  // taken as read
      } catch (const Refusal&) {
      }
      const KnownKey field{k.entry, s, d};
      words.push_back(jkn::showSelector(*k.entry, s));
      words.push_back(trasso::valueText(d, nearestTaken(field, read)));
      fields.emplace_back(s.which, nearestTaken(field, read));
    }
    std::optional<Step> step = setStep(k, text);
    if (!step || fields.empty()) return step;
    // The setter's keys: the named field's and these as given.
    Step all = jknStep(words, step->edits);
    for (Edit& e : all.edits) {
      for (const auto& [which, v] : fields) {
        trasso::Selection s = k.selection;
        s.which = which;
        if (e.key == trasso::keyOf(*k.entry, s)) {
          e.text = trasso::storedText(trasso::declarationOf(*k.entry, s), v);
        }
      }
    }
    return all;
  }

  // The fix of the line of k that the application reads: what it reads now,
  // made a value the setter takes; a text converted from UTF-8, without the
  // bytes that are no code page 932 text (and a "; note" when dropNote), cut
  // to the read buffer before a character it would split.
  std::optional<Step> mend(const LineView& l, const KnownKey& k, bool dropNote = false) {
    std::string text;
    if (k.decl.kind == ValueKind::Text) {
      std::string bytes(dropNote ? withoutNote(l.value) : l.value);
      if (looksLikeUtf8(bytes)) bytes = toCp932Dropping(bytes, nullptr);
      bytes = cp932Only(bytes);
      bytes.resize(trasso::cp932::wholeLength(bytes, k.decl.bufferSize - 1));
      if (looksLikeUtf8(bytes) || !isShowableCp932(bytes)) return std::nullopt;
      text = toUtf8(bytes);
    } else {
      text = trasso::valueText(k.decl, nearestTaken(k, k.entry->get(k.selection)));
    }
    if (k.entry->selector == trasso::SelectorKind::Field && k.entry->put != nullptr) {
      return recordStep(k, text);
    }
    return store(k, text, l);
  }

  // mend, or when no value mends the line, what the setting takes in words.
  Fix fix(const LineView& l, const KnownKey& k, bool dropNote = false) {
    if (std::optional<Step> s = mend(l, k, dropNote)) return Fix{"", {*s}};
    return Fix{"",
               {byHand("write in the line " + quoted(toUtf8(std::string(l.text))) + " " +
                       sectionWords(section_) + " of " + f_.path + " a value " + k.entry->name +
                       " takes: " + acceptedValues(*k.entry, k.decl))}};
  }

  void value(const LineView& l, const KnownKey& k) {
    const size_t before = out_.size();
    valueAsRead(l, k);
    if (out_.size() == before) takesBack(l, k);
  }

  // What the application reads, jkn's set and load must take back: a value
  // they would refuse is one a dump could not carry to another device.
  void takesBack(const LineView& l, const KnownKey& k) {
    if (k.entry->put == nullptr) return;
    const trasso::Value read = k.entry->get(k.selection);
    try {
      trasso::parseValue(*k.entry, k.decl, trasso::valueText(k.decl, read));
    } catch (const trasso::Refusal&) {
      addRead(l, "not-settable", k,
              "the application reads this, but " + std::string(k.entry->name) + " takes " +
                  acceptedValues(*k.entry, k.decl) + ": jkn load refuses it",
              fix(l, k));
    }
  }

  void valueAsRead(const LineView& l, const KnownKey& k) {
    const trasso::Value read = k.entry->get(k.selection);
    const std::string readText = shown(k, read);
    const std::string stored(l.value);
    const trasso::Declaration& d = k.decl;
    switch (d.kind) {
      case ValueKind::Text:
      case ValueKind::DoubleA:
      case ValueKind::DoubleB:
        if (stored.size() > d.bufferSize - 1) {
          cut(l, k, stored, readText);
          return;
        }
        if (d.kind == ValueKind::Text) {
          if (withoutNote(stored).size() != stored.size()) {
            addRead(l, "note-in-text", k,
                    "there are no comments: the text after ';' is part of the value",
                    fix(l, k, true));
          }
          return;
        }
        number(l, k, read);
        return;
      case ValueKind::Colour:
        colour(l, k);
        return;
      default:
        integer(l, k, std::get<int64_t>(read));
        return;
    }
  }

  // A value longer than the read buffer. A cut inside a double-byte character
  // leaves its first byte at the end of what is read and its second at the
  // start of what is cut off: both are shown as bytes.
  void cut(const LineView& l, const KnownKey& k, const std::string& stored, std::string readText) {
    const size_t keep = k.decl.bufferSize - 1;
    std::string why = "longer than the " + std::to_string(keep) + " bytes the application reads";
    std::string off = toUtf8(stored.substr(keep));
    if (k.decl.kind == ValueKind::Text && trasso::cp932::wholeLength(stored, keep) < keep) {
      const std::string split = stored.substr(keep - 1, 2);
      why += ", and the cut falls inside " +
             (trasso::cp932::isText(split)
                  ? toUtf8(split) + " (" + hexByte(split[0]) + hexByte(split[1]) + ")"
                  : hexByte(split[0]) + hexByte(split[1])) +
             ": the text read ends in its first byte";
      off = hexByte(split[1]) + toUtf8(stored.substr(keep + 1));
      readText = "\"" + toUtf8(stored.substr(0, keep - 1)) + hexByte(split[0]) + "\"";
    }
    addRead(l, "cut", k, why + "; cut off: '" + off + "'", fix(l, k), readText);
  }

  void number(const LineView& l, const KnownKey& k, const trasso::Value& read) {
    const std::string_view t = withoutNote(l.value);
    if (t.empty()) {
      if (k.decl.kind == ValueKind::DoubleB &&
          std::get<double>(read) != std::get<double>(k.decl.def)) {
        addRead(l, "number", k,
                "an empty value reads 0 here, not the default " + shown(k, k.decl.def), fix(l, k));
      }
      return;
    }
    double v = 0;
    const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) {
      addRead(l, "number", k,
              "not a plain number: the application reads its leading number only (0 when there "
              "is none)",
              fix(l, k));
      return;
    }
    range(l, k, std::get<double>(read));
  }

  void colour(const LineView& l, const KnownKey& k) {
    const std::string_view t = l.value;
    int parts = 0;
    bool plain = t.size() < 20;
    size_t start = 0;
    for (; plain && start <= t.size(); ++parts) {
      size_t comma = t.find(',', start);
      if (comma == std::string_view::npos) comma = t.size();
      std::string_view piece = t.substr(start, comma - start);
      while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
      const trasso::IntReading r = trasso::readInteger(piece);
      plain = wholeNumber(piece, r) && !r.wrapped && r.magnitude <= 255 &&
              piece.find_first_not_of("0123456789") == std::string_view::npos;
      start = comma + 1;
    }
    if (!plain || parts != 3) {
      addRead(l, "colour", k,
              "a colour is read as red,green,blue, each 0 to 255 (pieces missing stay 255, "
              "larger numbers keep their low 8 bits, at most 19 bytes are read)",
              fix(l, k));
    }
  }

  void integer(const LineView& l, const KnownKey& k, int64_t read) {
    const std::string_view t = withoutNote(l.value);
    if (t.empty()) return;  // reads the default, as nothing stored would
    if (upperPrefix(t)) {
      addRead(l, "integer", k,
              "only lower-case 0x, 0o and 0b select a base; an upper-case prefix reads as 0",
              fix(l, k));
      return;
    }
    const trasso::IntReading r = trasso::readInteger(t);
    if (!wholeNumber(t, r)) {
      const std::string ignored = quoted(toUtf8(std::string(t.substr(r.stop))));
      std::string why = "a text without leading digits reads as 0";
      if (r.digits > 0 && r.base != 10) {
        why = "the integer rule reads the base-" + std::to_string(r.base) +
              " digits after the prefix and stops at the first other character: " + ignored +
              " is ignored";
      } else if (r.digits > 0) {
        why = "the integer rule stops at the first character that is not a digit: " + ignored +
              " is ignored";
      }
      addRead(l, "integer", k, why, fix(l, k));
      return;
    }
    if (r.wrapped) {
      addRead(l, "integer", k, "more than 32 bits: the integer rule keeps the number modulo 2^32",
              fix(l, k));
      return;
    }
    const int64_t person = r.negative ? -static_cast<int64_t>(r.magnitude) : r.magnitude;
    if (k.decl.kind == ValueKind::Flag) {
      if ((person != 0) != (read != 0)) {
        addRead(l, "integer", k, "this switch is on only when the stored number is exactly 1",
                fix(l, k));
      }
      return;
    }
    // The setter's own form of the value read (a wide value written as a
    // negative signed decimal) is no finding.
    if (person != read && trasso::storedText(k.decl, read) != t) {
      const bool narrow = k.decl.kind == ValueKind::U8 || k.decl.kind == ValueKind::U16;
      addRead(l, "integer", k,
              narrow ? std::string("only the low ") + (k.decl.kind == ValueKind::U8 ? "8" : "16") +
                           " bits are kept"
                     : "outside the 32-bit range of this setting: taken modulo 2^32",
              fix(l, k));
      return;
    }
    range(l, k, static_cast<double>(read));
  }

  void range(const LineView& l, const KnownKey& k, double read) {
    const std::optional<trasso::Range> r = trasso::limitsOf(*k.entry, k.selection).range;
    if (r && !(read >= r->min && read <= r->max)) {
      addRead(l, "range", k,
              std::string("outside what PutQZJkn_") + k.entry->name + " accepts (" +
                  acceptedValues(*k.entry, k.decl) + "); the application still reads it as stored",
              fix(l, k));
    }
  }

  const StoredFile& f_;
  const SettingsIndex& index_;
  Files& files_;
  std::vector<Finding>& out_;
  bool utf8File_ = false;
  std::set<size_t> covered_;  // lines whose own finding's fix deletes or rewrites them
  std::string section_;
  bool inSection_ = false;
  bool unread_ = false;          // the application reads nothing of the section from here
  std::set<std::string> names_;  // the section's key names, folded
};

struct CheckOptions {
  bool json = false;
  bool fix = false;
  bool dryRun = false;
  std::vector<std::string> profiles;
};

// A UTF-16 byte-order mark, or the zero bytes of UTF-16 ASCII in the first line.
bool looksUtf16(const std::string& bytes) {
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    return true;
  }
  const size_t n = std::min<size_t>(bytes.size(), 64);
  size_t zeros = 0;
  for (size_t i = 0; i < n; ++i) zeros += bytes[i] == '\0';
  return n >= 8 && zeros * 3 >= n;
}

std::string nameRule() {
  return trasso::stored::namesHaveCase() ? " (file names differ by case here)" : "";
}

// The name of a file the application reads that name looks like but is not
// (another case, a letter or two off); empty for a name it reads or none near.
std::string meantName(const std::string& name) {
  if (readingRoot(name) >= 0) return "";
  const std::string folded = lowerAscii(name);
  for (const std::string& k : trasso::stored::readFileNames()) {
    if (editDistance(folded, lowerAscii(k)) <= 2) return k;
  }
  return "";
}

Finding fileFinding(const StoredFile& f, std::string kind, std::string why, Fix fix) {
  Finding x{f.path, 0, std::move(kind)};
  x.readText = "nothing";
  x.why = std::move(why);
  x.fixes = {std::move(fix)};
  return x;
}

// A UTF-16 file: the first character code page 932 lacks, with its line.
std::string lackingOf(const std::string& utf8) {
  size_t line = 1;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = std::min(utf8Width(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    if (utf8[i] == '\n') ++line;
    if (n > 1 && !toCp932(utf8.substr(i, n))) {
      return "line " + std::to_string(line) + " holds " + quoted(utf8.substr(i, n)) +
             ", which code page 932 lacks";
    }
    i += n;
  }
  return "";
}

// Every finding of the roots' settings folders and the named profiles.
std::vector<Finding> findings(const CheckOptions& o, size_t& files) {
  const SettingsIndex index;
  // The getters read each file once, not once per key.
  const trasso::fileio::ReadSnapshot snapshot;
  Files cache;
  std::vector<Finding> out;
  for (StoredFile f : storedFiles(o.profiles)) {
    std::string target;
    const trasso::stored::EntryKind kind = trasso::stored::entryKind(f.path);
    const bool exists =
        kind != trasso::stored::EntryKind::None && kind != trasso::stored::EntryKind::BadLink;
    if (f.root < 0 && !exists) throw Failure{kUsage, "profile " + f.path + " does not exist"};
    if (f.root >= 0 && trasso::fileio::isWriteLeftover(f.name, &target)) {
      out.push_back(fileFinding(f, "temporary",
                                "temporary file of a write of " + target +
                                    " that was stopped before it finished; " + target +
                                    " itself is whole, and its next write removes this file",
                                Fix{"", {removeStep(f.path, false, Edit::ClearLeftover)}}));
      out.back().fixes[0].steps[0].edits[0].file = joinPath(folderOf(f.path), target);
      continue;
    }
    if (f.root >= 0 && f.name.size() > 4 && f.name.substr(f.name.size() - 4) == ".new" &&
        isIniName(f.name.substr(0, f.name.size() - 4))) {
      const std::string of = f.name.substr(0, f.name.size() - 4);
      out.push_back(fileFinding(f, "stray",
                                "left beside " + of +
                                    " by a re-saving of it that did not "
                                    "finish; " +
                                    of +
                                    " itself is as it was, and the application "
                                    "never reads this file",
                                Fix{"", {removeStep(f.path, false)}}));
      continue;
    }
    if (f.root >= 0 && !isIniName(f.name)) continue;
    ++files;
    if (f.root >= 0) {
      if (const std::string meant = meantName(f.name); !meant.empty()) {
        out.push_back(fileFinding(f, "not-read",
                                  "the application opens " + meant + ", never " + f.name +
                                      (lowerAscii(meant) == lowerAscii(f.name) ? nameRule() : ""),
                                  moveFix(f.path, joinPath(folderOf(f.path), meant))));
        continue;
      }
    }
    const int reader = f.root >= 0 ? readingRoot(f.name) : -1;
    if (reader >= 0 && reader != f.root && !f.bothRoots) {
      const std::string folder = trasso::fileio::nativePath(trasso::AppDataFolder(reader, "inf"));
      out.push_back(fileFinding(f, "other-root",
                                "the application reads " + f.name + " from root " +
                                    std::to_string(reader) + " (" + folder + "), never from here",
                                moveFix(f.path, folder + f.name)));
      continue;
    }
    if (kind != trasso::stored::EntryKind::File) {
      const bool folder = kind == trasso::stored::EntryKind::Folder;
      out.push_back(fileFinding(f, "not-regular",
                                entryPhrase(kind) + ": the application reads the defaults instead",
                                Fix{"", {removeStep(f.path, folder)}}));
      continue;
    }
    std::string bytes;
    if (!trasso::fileio::readFile(f.path, bytes)) {
      const int error = errno;
      const std::string command = makeReadableCommand(f.path);
      out.push_back(
          fileFinding(f, "unreadable",
                      std::string("cannot be read (") + std::strerror(error) +
                          "): the application reads the defaults instead",
                      Fix{"",
                          {byHand(error == EACCES || error == EPERM
                                      ? command
                                      : "check the disk, then read " + f.path + " again")}}));
      continue;
    }
    if (looksUtf16(bytes)) {
      // Without a byte-order mark, the zero bytes tell the byte order.
      const bool bom =
          (bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF');
      const char* from = bom ? "UTF-16" : bytes[0] == '\0' ? "UTF-16BE" : "UTF-16LE";
      const std::string lacking = lackingOf(utf16ToUtf8(bytes, from));
      out.push_back(fileFinding(f, "utf-16",
                                "saved as UTF-16: the application reads every key of it as "
                                "missing (the defaults); save it in code page 932" +
                                    (lacking.empty() ? "" : "; " + lacking),
                                Fix{"", {reencodeStep(f.path, from)}}));
      if (!lacking.empty()) out.back().blocked = {f.path, kRefused, lacking + ": replace it first"};
      continue;
    }
    if (f.root < 0 && f.profile.empty()) f.profile = index.guessProfileArea(bytes);
    FileChecker(f, index, cache, out).check(bytes);
  }
  return out;
}

// Why a finding's fix cannot be carried out now: a file it writes that a
// write could not be made to (read-only, missing folder, ...).
void probe(Finding& x, std::map<std::string, trasso::WriteStatus>& probed) {
  if (!x.blocked.why.empty()) return;
  std::set<std::string> files;
  for (const Fix& fix : x.fixes) {
    for (const Step& s : fix.steps) {
      for (const Edit& e : s.edits) {
        if (e.kind <= Edit::ReEncode) files.insert(e.file);
        if (e.kind == Edit::MoveFile) files.insert(e.text);
      }
    }
  }
  for (const std::string& file : files) {
    const auto it = probed.try_emplace(file, trasso::WriteStatus::Written);
    if (it.second) it.first->second = trasso::facts::probeWrite(file);
    const trasso::WriteStatus s = it.first->second;
    if (!trasso::succeeded(s)) {
      const Failure failure = writeFailure(s, file);
      x.blocked = {file, failure.status, failure.message};
      return;
    }
  }
}

// A finding's texts name its folder as the user reads it (in UTF-8 where paths
// are code page 932).
void showPaths(Finding& x) {
  const std::string folder = folderOf(x.file), shown = shownPath(folder);
  if (shown == folder) return;
  const auto replace = [&](std::string& text) {
    for (size_t at = text.find(folder); at != std::string::npos;
         at = text.find(folder, at + shown.size())) {
      text.replace(at, folder.size(), shown);
    }
  };
  replace(x.why);
  replace(x.blocked.why);
  for (Fix& fix : x.fixes) {
    for (Step& s : fix.steps) {
      replace(s.text);
      for (std::string& word : s.argv) replace(word);
    }
  }
}

std::string where(const Finding& x) {
  return shownPath(x.file) + (x.line ? ":" + std::to_string(x.line) : std::string());
}

json findingJson(const Finding& x) {
  json j{{"file", shownPath(x.file)},
         {"line", x.line == 0 ? json(nullptr) : json(x.line)},
         {"kind", x.kind},
         {"name", nullptr},
         {"selector", nullptr},
         {"section", x.section ? out::name(*x.section) : json(nullptr)},
         {"key", x.key ? out::name(*x.key) : json(nullptr)},
         {"stored", x.line ? out::name(x.stored) : json(nullptr)},
         {"read", x.read && x.setting ? out::value(x.setting->decl, *x.read) : json(nullptr)},
         {"why", x.why},
         {"fix", x.fixes.size() == 1 ? fixJson(x.fixes[0]) : json(nullptr)},
         {"choices", json::array()},
         {"blocked", x.blocked.why.empty() ? json(nullptr)
                                           : json{{"file", shownPath(x.blocked.file)},
                                                  {"status", x.blocked.status},
                                                  {"why", x.blocked.why}}}};
  if (x.setting) j.update(out::setting(*x.setting->entry, x.setting->selection));
  if (x.fixes.size() > 1) {
    for (const Fix& f : x.fixes) j["choices"].push_back(fixJson(f));
  }
  if (!x.hides.empty()) {
    j["hides"] = json::array();
    for (const Hidden& h : x.hides) {
      json hidden = out::setting(*h.known.entry, h.known.selection);
      hidden["line"] = h.line;
      hidden["stored"] = out::name(h.stored);
      hidden["read"] = out::value(h.known.decl, h.read);
      j["hides"].push_back(hidden);
    }
  }
  return j;
}

void printFinding(const Finding& x) {
  std::cout << where(x) << ": " << x.why << "\n";
  if (x.setting) std::cout << "    setting: " << title(*x.setting) << "\n";
  // A line saved in UTF-8 as its writer sees it.
  if (x.line) {
    std::cout << "    stored:  " << shownLine(x.stored) << "\n";
  }
  if (x.line) std::cout << "    read:    " << x.readText << "\n";
  for (const Hidden& h : x.hides) {
    std::cout << "    hides:   line " << h.line << " " << toUtf8(h.stored) << ": " << title(h.known)
              << " reads " << shown(h.known, h.read) << "\n";
  }
  for (size_t i = 0; i < x.fixes.size(); ++i) {
    std::cout << (x.fixes.size() == 1 ? "    fix:     "
                  : i == 0            ? "    choose:  "
                                      : "    or:      ")
              << fixText(x.fixes[i]) << "\n";
  }
  if (!x.blocked.why.empty()) std::cout << "    blocked: " << x.blocked.why << "\n";
}

// Why --fix leaves a finding for a person, or "" when it carries out its fix.
std::string leftFor(const Finding& x) {
  if (x.fixes.size() > 1) {
    std::string labels;
    for (size_t i = 0; i < x.fixes.size(); ++i) {
      labels += (i == 0 ? "" : i + 1 == x.fixes.size() ? " or " : ", ") + x.fixes[i].label;
    }
    return "it needs a choice: " + labels;
  }
  if (!x.blocked.why.empty()) return x.blocked.why;
  for (const Step& s : x.fixes.at(0).steps) {
    if (s.edits.empty()) return "it needs a person: " + fixText(x.fixes[0]);
  }
  return "";
}

// --fix: every fix that needs no choice, each file written once.
int applyAll(const std::vector<Finding>& all, bool dryRun) {
  std::vector<Planned> planned;
  // Findings whose fixes make the same edits (two of one line, two fields of
  // one record) are fixed once.
  std::map<std::string, size_t> byEdits;
  std::vector<size_t> of(all.size(), SIZE_MAX);
  for (size_t i = 0; i < all.size(); ++i) {
    if (!leftFor(all[i]).empty()) continue;
    std::string key;
    for (const Step& s : all[i].fixes[0].steps) {
      for (const Edit& e : s.edits) {
        key += std::to_string(e.kind) + "\n" + e.file + "\n" + e.section.value_or("\r") + "\n" +
               e.key + "\n" + e.line + "\n" + e.text + "\n" + std::to_string(e.keepRead) +
               std::to_string(e.dropEmptySection) + "\n";
      }
    }
    const auto [it, fresh] = byEdits.emplace(key, planned.size());
    if (fresh) {
      planned.emplace_back();
      planned.back().fix = &all[i].fixes[0];
    }
    of[i] = it->second;
  }
  applyFixes(planned, dryRun);
  size_t fixed = 0;
  int status = kOk;
  for (size_t i = 0; i < all.size(); ++i) {
    const Planned* p = of[i] == SIZE_MAX ? nullptr : &planned[of[i]];
    const std::string left = p ? p->failed : leftFor(all[i]);
    if (p && p->done) {
      ++fixed;
      if (!dryRun) std::cout << where(all[i]) << ": fixed: " << fixText(all[i].fixes[0]) << "\n";
      continue;
    }
    std::cout << where(all[i]) << ": left: " << (left.empty() ? "not carried out" : left) << "\n";
    status = std::max(status, p && p->status > kRefused ? p->status : int{kRefused});
  }
  std::cout << fixed << (dryRun ? " to fix, " : " fixed, ") << all.size() - fixed << " left"
            << (dryRun ? " (dry run: nothing written)" : "") << "\n";
  return status;
}

int runCheck(const CheckOptions& o) {
  if (const std::string why = unreadableRoots(); !why.empty()) {
    std::cerr << "jkn: cannot check: " << why << "\n";
    return 2;
  }
  size_t files = 0;
  std::vector<Finding> all = findings(o, files);
  std::map<std::string, trasso::WriteStatus> probed;
  for (Finding& x : all) {
    probe(x, probed);
    showPaths(x);
  }
  if ((o.fix || o.dryRun) && !all.empty()) return applyAll(all, o.dryRun);
  if (o.json) {
    json list = json::array();
    for (const Finding& x : all) list.push_back(findingJson(x));
    out::print(list);
  } else {
    for (const Finding& x : all) printFinding(x);
    std::cout << (all.empty()
                      ? "no findings"
                      : std::to_string(all.size()) + " finding" + (all.size() > 1 ? "s" : ""))
              << " in " << files << " settings file" << (files == 1 ? "" : "s") << "\n";
  }
  return all.empty() ? 0 : 1;
}

}  // namespace

void finish(int status) {
  std::cout.flush();
  std::exit(status);
}

void addCheckCommand(CLI::App& app) {
  auto o = std::make_shared<CheckOptions>();
  CLI::App* cmd = app.add_subcommand(
      "check", "Explain where what the application reads differs from what the files say");
  cmd->add_option("PROFILE", o->profiles, "Profile files to check as well");
  CLI::Option* json = cmd->add_flag("--json", o->json, "Print the findings as a JSON list");
  CLI::Option* fix = cmd->add_flag(
      "--fix", o->fix,
      "Carry out every fix that needs no choice, each file in one locked write, and say "
      "what was done");
  cmd->add_flag("--dry-run", o->dryRun, "With --fix: show the changes as a diff, write nothing")
      ->needs(fix);
  fix->excludes(json);
  cmd->footer(
      "Finds repeated sections and keys, key lines without '=', numbers and colours that\n"
      "read otherwise, texts cut by the read buffer, values outside a setter's range,\n"
      "keys no setting reads, keys the application reads from another file, bytes that\n"
      "are not code page 932, files in the other root, odd or unreadable files and what\n"
      "a stopped write or re-saving left, in both roots' \"inf\" folders and the named\n"
      "profiles. Each finding has its fix: a jkn command or an edit of the file anchored\n"
      "to its text, so fixes hold in any order; where the fix must pick a value it offers\n"
      "a choice; a fix that cannot be carried out now says why (blocked). Changes\n"
      "nothing without --fix.\n\n"
      "Exit status:\n"
      "  0  no findings (--fix: none left; --dry-run: none would be left)\n"
      "  1  findings (--fix: some left: a choice, blocked, or for a person)\n"
      "  2  error (usage, missing profile, a settings folder that cannot be looked at)\n"
      "  3-7  --fix: a write failed, as for set (place, read-only, disk full, busy, I/O)\n");
  cmd->callback([o] {
    int status = 2;
    try {
      status = guarded([&] { return runCheck(*o); });
    } catch (...) {
      std::cerr << "jkn: unexpected failure\n";
    }
    finish(status);
  });
}

}  // namespace jkn
