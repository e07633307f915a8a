// jkn check: every place of the settings folders where what the application
// reads differs from what a person reading the file would expect, with the
// reason. It reads with the INI layer's own line walker and the registry's own
// getters, so "read" is what the application gets; it changes nothing.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "CodePage932.h"
#include "Commands.h"
#include "Ini.h"
#include "ReadSnapshot.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "StoreFacts.h"
#include "Stored.h"
#include "Values.h"

namespace jkn {
namespace {

using nlohmann::json;
using trasso::ValueKind;
using trasso::ini::LineView;

struct Finding {
  std::string file;
  size_t line = 0;  // 0: the file as a whole
  std::string kind;
  std::string setting;  // "NAME [SELECTOR]" of a known key
  std::string stored;
  std::string read;
  std::string why;
  std::string fix;  // a command, or the edit of the file in words
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

std::string linesOf(size_t first, size_t last, const std::string& path) {
  return (first == last ? "line " + std::to_string(first)
                        : "lines " + std::to_string(first) + " to " + std::to_string(last)) +
         " of " + path;
}

// A number text as a person reads it: optional sign, then decimal digits or a
// base prefix (either case) with its digits, and nothing else.
struct PersonNumber {
  bool isNumber = false;
  bool negative = false;
  bool upperPrefix = false;
  bool beyond64 = false;
  uint64_t magnitude = 0;
  int base = 10;
  size_t stop = 0;  // where a text that is no number stops being one
};

PersonNumber personNumber(std::string_view t) {
  PersonNumber p;
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) p.negative = t[i++] == '-';
  int& base = p.base;
  if (t.size() - i > 2 && t[i] == '0' && std::strchr("xXoObB", t[i + 1]) != nullptr) {
    const char c = t[i + 1];
    base = (c == 'x' || c == 'X') ? 16 : (c == 'o' || c == 'O') ? 8 : 2;
    p.upperPrefix = c >= 'A' && c <= 'Z';
    i += 2;
  }
  p.stop = i;
  if (i == t.size()) return p;
  for (; i < t.size(); ++i) {
    int digit = -1;
    const char c = t[i];
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    p.stop = i;
    if (digit < 0 || digit >= base) return p;
    if (p.magnitude > (UINT64_MAX - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
      p.beyond64 = true;
    }
    p.magnitude = p.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  p.isNumber = true;
  return p;
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

// Whether bytes hold UTF-8 characters beyond ASCII and nothing that is not UTF-8:
// a file saved by an editor in UTF-8.
bool looksLikeUtf8(std::string_view t) {
  bool wide = false;
  for (size_t i = 0; i < t.size();) {
    const auto b = static_cast<unsigned char>(t[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > t.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return false;
    }
    wide = wide || n > 1;
    i += n;
  }
  return wide;
}

// The code page 932 characters of bytes, without the bytes that are none.
std::string cp932Only(std::string_view bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = trasso::cp932::charWidth(bytes, i);
    if (isCp932(bytes.substr(i, n))) {
      out.append(bytes.substr(i, n));
      i += n;
    } else {
      ++i;  // a bad second byte may be a character of its own
    }
  }
  return out;
}

// The length of the whole characters within the first max bytes: max, or one
// less when a double-byte character straddles the end.
size_t wholeChars(std::string_view bytes, size_t max) {
  size_t i = 0;
  while (i < bytes.size() && i + trasso::cp932::charWidth(bytes, i) <= max) {
    i += trasso::cp932::charWidth(bytes, i);
  }
  return i;
}

class FileChecker {
 public:
  FileChecker(const StoredFile& f, const SettingsIndex& index, std::vector<Finding>& out)
      : f_(f), index_(index), out_(out) {}

  void check(const std::string& bytes) {
    // A file saved whole in UTF-8 is mended by one conversion of the whole.
    utf8File_ = looksLikeUtf8(bytes) && toCp932(bytes).has_value();
    trasso::ini::forEachLine(bytes, [&](const LineView& l) { line(l); });
    endSection(lastLine_);
  }

 private:
  struct Seen {
    std::string name;
    size_t line;
    bool hasEquals;
    size_t noEquals = SIZE_MAX;  // its no-equals finding
  };

  void add(const LineView& l, std::string kind, std::string setting, std::string read,
           std::string why, std::string fix) {
    out_.push_back(Finding{f_.path, l.number, std::move(kind), std::move(setting),
                           toUtf8(std::string(l.text)), std::move(read), std::move(why),
                           std::move(fix)});
  }

  std::string deleteLine(const LineView& l) const {
    return "delete " + linesOf(l.number, l.number, f_.path);
  }

  // Names seen so far, by their folded form: a file of many keys is checked in
  // time proportional to its size.
  using SeenNames = std::unordered_map<std::string, Seen>;
  static const Seen* earlier(const SeenNames& seen, std::string_view name) {
    const auto it = seen.find(trasso::ini::foldedName(name));
    return it == seen.end() ? nullptr : &it->second;
  }

  void line(const LineView& l) {
    if (l.kind == LineView::Section) endSection(l.number - 1);
    lastLine_ = l.number;
    const size_t first = out_.size();
    const bool utf8 = looksLikeUtf8(l.text);
    const bool bytes = !utf8 && !isCp932(l.text);
    if (utf8 || bytes) add(l, "code-page", "", "", "", "");  // filled in once the line is known
    lineKey_.reset();
    lineRead_ = false;
    classify(l);
    if (utf8 || bytes) codePage(l, utf8, first);
  }

  void classify(const LineView& l) {
    if (l.kind == LineView::Section) {
      keys_.clear();
      inSection_ = true;
      section_ = std::string(l.name);
      sectionStart_ = l.number;
      sectionKeys_ = false;
      home_.clear();
      if (const Seen* first = earlier(sections_, l.name)) {
        readable_ = false;
        sectionFinding_ = out_.size();
        add(l, "duplicate-section", "", "nothing of this section",
            "section [" + toUtf8(section_) + "] already begins at line " +
                std::to_string(first->line) + "; only the first one is read",
            "");
      } else {
        readable_ = true;
        sections_.emplace(trasso::ini::foldedName(l.name), Seen{section_, l.number, true});
        const std::string home = f_.root >= 0 ? index_.homeOfSection(f_.name, section_) : "";
        if (!home.empty()) {
          sectionFinding_ = out_.size();
          home_ = home;
          add(l, "wrong-file", "", "nothing of this section",
              "the application reads section [" + toUtf8(section_) + "] from " + home +
                  ", never from " + f_.name,
              "");
        }
      }
      return;
    }
    if (l.kind != LineView::Key) return;
    sectionKeys_ = true;
    const bool note = !l.name.empty() && (l.name[0] == ';' || l.name[0] == '#');
    if (!inSection_) {
      if (!note) {
        add(l, "outside-section", "", "nothing", "a line before the first section line",
            deleteLine(l));
      }
      return;
    }
    // A line a person takes for a comment is read as a key no setting has.
    if (note) return;
    if (!readable_) {
      // The key of a repeated section: say what the application reads instead.
      if (const Seen* first = earlier(sections_, section_); first && !earlier(keys_, l.name)) {
        keys_.emplace(trasso::ini::foldedName(l.name), Seen{std::string(l.name), l.number, true});
        if ((lineKey_ = index_.find(f_, section_, l.name))) {
          const KnownKey& known = *lineKey_;
          add(l, "hidden-key", title(known), shown(known, known.entry->get(known.selection)),
              "hidden: section [" + toUtf8(section_) + "] already begins at line " +
                  std::to_string(first->line) + ", so the application reads " + title(known) +
                  " from there (or its default)",
              deleteLine(l));
        }
      }
      return;
    }
    const Seen* first = earlier(keys_, l.name);
    if (first == nullptr) {
      keys_.emplace(trasso::ini::foldedName(l.name),
                    Seen{std::string(l.name), l.number, l.hasEquals});
    }
    lineKey_ = index_.find(f_, section_, l.name);
    const std::optional<KnownKey>& known = lineKey_;
    const std::string setting = known ? title(*known) : std::string();
    if (first != nullptr) {
      const std::string why =
          first->hasEquals
              ? "key already set at line " + std::to_string(first->line) +
                    "; only the first is read"
              : "line " + std::to_string(first->line) +
                    " has this key without '=': it hides this one and the default is read";
      // Removing the line without '=' would let this one be read: give it the
      // default instead.
      if (!first->hasEquals && first->noEquals != SIZE_MAX && known) {
        out_[first->noEquals].fix =
            store(*known, showValue(known->decl, known->decl.def, false), first->name, first->line);
      }
      add(l, "duplicate-key", setting, "nothing of this line", why, deleteLine(l));
      return;
    }
    if (!l.hasEquals) {
      keys_[trasso::ini::foldedName(l.name)].noEquals = out_.size();
      add(l, "no-equals", setting, known ? shown(*known, known->decl.def) : "nothing",
          "a key line without '=' reads the default and hides any later line of this key",
          known && known->entry->put != nullptr ? "jkn reset " + commandName(*known)
                                                : deleteLine(l));
      return;
    }
    // A dump carries this key, and load refuses it.
    if (!known &&
        (!trasso::ini::isStorableSection(section_) || !trasso::ini::isStorableKey(l.name))) {
      add(l, "not-storable", "", "nothing",
          "a name no writer can store (an empty key, a key starting with '[', a NUL byte): no "
          "setting reads it, and jkn load refuses it",
          deleteLine(l));
      return;
    }
    if (known) {
      lineRead_ = true;
      value(l, *known);
    } else if (index_.knowsSection(f_, section_) &&
               !trasso::facts::findKeyOutsideRegistry(section_, l.name)) {
      const auto [closest, distance] = index_.closestKey(f_, section_, l.name);
      if (distance <= 2) {
        renames_.push_back({out_.size(), std::string(l.name), closest});
        add(l, "unknown-key", "", "nothing",
            "no setting reads key " + quoted(toUtf8(std::string(l.name))) + " of [" + section_ +
                "]; did you mean " + closest + "?",
            "");
      }
    }
  }

  // The fixes that name lines of the section ending at line last.
  void endSection(size_t last) {
    if (sectionFinding_ != SIZE_MAX) {
      const std::string lines = linesOf(sectionStart_, last, f_.path);
      std::string& fix = out_[sectionFinding_].fix;
      fix = "delete " + lines;
      if (!home_.empty() && sectionKeys_) {
        const std::string home = homePath(home_);
        fix = homeHasSection(home) ? "move the keys of " + lines + " into [" + toUtf8(section_) +
                                         "] of " + home + " and delete the lines"
                                   : "move " + lines + " to the end of " + home;
      }
      sectionFinding_ = SIZE_MAX;
    }
    for (const Rename& r : renames_) {
      Finding& x = out_[r.finding];
      std::string meant = r.meant;
      // A numbered key ("Kkou<n>") is meant with its number in plain decimal.
      if (const size_t n = meant.find("<n>"); n != std::string::npos) {
        const std::string_view digits = std::string_view(r.key).substr(std::min(n, r.key.size()));
        int number = 0;
        const char* end = digits.data() + digits.size();
        const auto [last, error] =
            std::from_chars(digits.data() + (digits.substr(0, 1) == "+"), end, number);
        meant = error == std::errc() && last == end ? meant.substr(0, n) + std::to_string(number)
                                                    : std::string();
        const size_t asked = x.why.rfind(r.meant);
        if (!meant.empty() && asked != std::string::npos) {
          x.why.replace(asked, r.meant.size(), meant);
        }
      }
      const Seen* set = meant.empty() ? nullptr : earlier(keys_, meant);
      if (meant.empty() || set != nullptr || !index_.find(f_, section_, meant)) {
        x.fix = "delete " + linesOf(x.line, x.line, f_.path) +
                (set ? " (" + meant + " is at line " + std::to_string(set->line) + ")" : "");
      } else {
        x.fix = "rename its key to " + meant + " (" + linesOf(x.line, x.line, f_.path) + ")";
      }
    }
    renames_.clear();
  }

  static std::string homePath(const std::string& name) {
    for (int id = 0; trasso::SettingsFileName(id) != nullptr; ++id) {
      if (name == trasso::SettingsFileName(id)) {
        return trasso::fileio::nativePath(trasso::SettingsFilePath(id));
      }
    }
    return name;
  }

  bool homeHasSection(const std::string& path) const {
    std::string bytes;
    bool has = false;
    if (!trasso::fileio::readFile(path, bytes)) return false;
    trasso::ini::forEachLine(bytes, [&](const LineView& l) {
      has = has || (l.kind == LineView::Section && trasso::ini::sameName(l.name, section_));
    });
    return has;
  }

  // The code page finding of the line, now that its setting is known.
  void codePage(const LineView& l, bool utf8, size_t at) {
    Finding& x = out_[at];
    const std::string text(l.text);
    if (lineKey_) x.setting = title(*lineKey_);
    // What is stored as a person reads it, the whole line or the value read.
    const std::string part = lineRead_ ? std::string(l.value) : text;
    x.read = lineRead_ ? shown(*lineKey_, lineKey_->entry->get(lineKey_->selection)) : toUtf8(text);
    std::string bad;
    if (utf8) {
      x.stored = text;
      x.why = "UTF-8 text, but the application reads code page 932: " + quoted(part) +
              " reads as " + quoted(toUtf8(part));
    } else {
      for (size_t i = 0; i < text.size();) {
        const size_t n = trasso::cp932::charWidth(text, i);
        const bool whole = isCp932(std::string_view(text).substr(i, n));
        if (!whole && bad.find(hexByte(text[i])) == std::string::npos) bad += hexByte(text[i]);
        i += whole ? n : 1;
      }
      x.why = "bytes that are not code page 932 text: " + bad + " (shown as \\xNN)";
    }
    // The value's own fix mends the whole line.
    if (lineRead_) x.fix = out_.size() > at + 1 ? out_[at + 1].fix : mend(l, *lineKey_);
    if (!x.fix.empty()) return;
    const std::string lines = linesOf(l.number, l.number, f_.path);
    if (!utf8) {
      x.fix = "delete the bytes " + bad + " from " + lines;
    } else if (utf8File_) {
      x.fix = toCodePage932Command(f_.path, "UTF-8");
    } else {
      x.fix = "write " + lines + " in code page 932";
      for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (!toCp932(text.substr(i, n))) {
          x.fix += ", which has no " + quoted(text.substr(i, n));
          break;
        }
        i += n;
      }
    }
  }

  static std::string title(const KnownKey& k) {
    const std::string selector = jkn::showSelector(*k.entry, k.selection);
    return k.entry->selector == trasso::SelectorKind::None ||
                   k.entry->selector == trasso::SelectorKind::Profile
               ? std::string(k.entry->name)
               : std::string(k.entry->name) + " " + selector;
  }

  static std::string shown(const KnownKey& k, const trasso::Value& v) {
    const std::string text = showValue(k.decl, v, false);
    return k.decl.kind == ValueKind::Text ? "\"" + text + "\"" : text;
  }

  // The setting as jkn set and reset take it: the name, and the selector
  // unless it is the one they choose when none is given.
  static std::string commandName(const KnownKey& k) {
    const std::string selector = jkn::showSelector(*k.entry, k.selection);
    if (selector.empty()) return k.entry->name;
    try {
      if (jkn::showSelector(*k.entry, jkn::parseSelector(*k.entry, std::nullopt)) == selector) {
        return k.entry->name;
      }
    } catch (const Refusal&) {
    }
    return std::string(k.entry->name) + " " + shellWord(selector);
  }

  // The fix that stores text (as jkn set takes it) for k, whose key line is
  // number: jkn set, or for a read-only setting the line with it in words.
  // Empty when the setting does not take the text.
  std::string store(const KnownKey& k, const std::string& text, std::string_view key,
                    size_t number) const {
    trasso::Value v;
    try {
      v = parseValue(*k.entry, k.decl, text, false);
    } catch (const Refusal&) {
      return "";
    }
    if (k.entry->put != nullptr) {
      const bool dash = k.decl.kind == ValueKind::Text && !text.empty() && text[0] == '-';
      return std::string("jkn set ") + (dash ? "-- " : "") + commandName(k) + " " + shellWord(text);
    }
    return "change " + linesOf(number, number, f_.path) + " to " +
           quoted(toUtf8(std::string(key)) + "=" + toUtf8(trasso::valueText(k.decl, v)));
  }

  // The value nearest to v that the setter takes, as it would store it.
  static trasso::Value nearestTaken(const KnownKey& k, trasso::Value v) {
    const trasso::SettingEntry& e = *k.entry;
    if (double* d = std::get_if<double>(&v)) {
      const double scale = std::pow(10.0, k.decl.decimals);
      *d = std::round(*d * scale) / scale;
      if (e.range && *d > e.range->max) *d = std::floor(e.range->max * scale) / scale;
      if (e.range && *d < e.range->min) *d = std::ceil(e.range->min * scale) / scale;
    } else if (int64_t* i = std::get_if<int64_t>(&v); i && k.decl.kind != ValueKind::Colour) {
      int64_t low = e.minValue, high = e.maxValue;
      if (takesFlag(e, k.decl)) *i = *i != 0 ? 1 : 0;
      if (e.range) {
        low = std::max(low, static_cast<int64_t>(std::ceil(e.range->min)));
        high = std::min(high, static_cast<int64_t>(std::floor(e.range->max)));
      }
      *i = std::clamp(*i, low, std::max(low, high));
    }
    return v;
  }

  // The fix of the line of k that the application reads: what it reads now,
  // made a value the setter takes; a text converted from UTF-8, without the
  // bytes that are no code page 932 text (and a "; note" when dropNote), cut
  // to the read buffer before a character it would split.
  std::string mend(const LineView& l, const KnownKey& k, bool dropNote = false) const {
    std::string text;
    if (k.decl.kind == ValueKind::Text) {
      std::string bytes(dropNote ? withoutNote(l.value) : l.value);
      if (looksLikeUtf8(bytes)) {
        const std::optional<std::string> converted = toCp932(bytes);
        if (!converted) return "";
        bytes = *converted;
      }
      bytes = cp932Only(bytes);
      bytes.resize(wholeChars(bytes, k.decl.bufferSize - 1));
      if (looksLikeUtf8(bytes) || !isShowableCp932(bytes)) return "";
      text = toUtf8(bytes);
    } else {
      text = trasso::valueText(k.decl, nearestTaken(k, k.entry->get(k.selection)));
    }
    return store(k, text, l.name, l.number);
  }

  // mend, or when no value mends the line, what the setting takes in words.
  std::string fix(const LineView& l, const KnownKey& k, bool dropNote = false) const {
    const std::string command = mend(l, k, dropNote);
    return !command.empty() ? command
                            : "write in " + linesOf(l.number, l.number, f_.path) + " a value " +
                                  k.entry->name + " takes: " + acceptedValues(*k.entry, k.decl);
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
      add(l, "not-settable", title(k), shown(k, read),
          "the application reads this, but " + std::string(k.entry->name) + " takes " +
              acceptedValues(*k.entry, k.decl) + ": jkn load refuses it",
          fix(l, k));
    }
  }

  void valueAsRead(const LineView& l, const KnownKey& k) {
    const trasso::Value read = k.entry->get(k.selection);
    const std::string readText = shown(k, read);
    const std::string setting = title(k);
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
            add(l, "note-in-text", setting, readText,
                "there are no comments: the text after ';' is part of the value", fix(l, k, true));
          }
          return;
        }
        number(l, k, read, readText);
        return;
      case ValueKind::Colour:
        colour(l, k, readText);
        return;
      default:
        integer(l, k, std::get<int64_t>(read), readText);
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
    if (k.decl.kind == ValueKind::Text && wholeChars(stored, keep) < keep) {
      const std::string split = stored.substr(keep - 1, 2);
      why += ", and the cut falls inside " +
             (isCp932(split) ? toUtf8(split) + " (" + hexByte(split[0]) + hexByte(split[1]) + ")"
                             : hexByte(split[0]) + hexByte(split[1])) +
             ": the text read ends in its first byte";
      off = hexByte(split[1]) + toUtf8(stored.substr(keep + 1));
      readText = "\"" + toUtf8(stored.substr(0, keep - 1)) + hexByte(split[0]) + "\"";
    }
    add(l, "cut", title(k), readText, why + "; cut off: '" + off + "'", fix(l, k));
  }

  void number(const LineView& l, const KnownKey& k, const trasso::Value& read,
              const std::string& readText) {
    const std::string_view t = withoutNote(l.value);
    if (t.empty()) {
      if (k.decl.kind == ValueKind::DoubleB &&
          std::get<double>(read) != std::get<double>(k.decl.def)) {
        add(l, "number", title(k), readText,
            "an empty value reads 0 here, not the default " + shown(k, k.decl.def), fix(l, k));
      }
      return;
    }
    double v = 0;
    const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) {
      add(l, "number", title(k), readText,
          "not a plain number: the application reads its leading number only (0 when there is "
          "none)",
          fix(l, k));
      return;
    }
    range(l, k, std::get<double>(read), readText);
  }

  void colour(const LineView& l, const KnownKey& k, const std::string& readText) {
    const std::string_view t = l.value;
    int parts = 0;
    bool plain = t.size() < 20;
    size_t start = 0;
    for (; plain && start <= t.size(); ++parts) {
      size_t comma = t.find(',', start);
      if (comma == std::string_view::npos) comma = t.size();
      std::string_view piece = t.substr(start, comma - start);
      while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
      const PersonNumber p = personNumber(piece);
      plain = p.isNumber && !p.negative && p.magnitude <= 255 &&
              piece.find_first_not_of("0123456789") == std::string_view::npos;
      start = comma + 1;
    }
    if (!plain || parts != 3) {
      add(l, "colour", title(k), readText,
          "a colour is read as red,green,blue, each 0 to 255 (pieces missing stay 255, larger "
          "numbers keep their low 8 bits, at most 19 bytes are read)",
          fix(l, k));
    }
  }

  void integer(const LineView& l, const KnownKey& k, int64_t read, const std::string& readText) {
    const std::string_view t = withoutNote(l.value);
    if (t.empty()) return;  // reads the default, as nothing stored would
    const PersonNumber p = personNumber(t);
    const std::string setting = title(k);
    if (p.upperPrefix) {
      add(l, "integer", setting, readText,
          "only lower-case 0x, 0o and 0b select a base; an upper-case prefix reads as 0",
          fix(l, k));
      return;
    }
    if (!p.isNumber) {
      const size_t digits = t.find_first_of("0123456789");
      const bool leading = digits == 0 || (digits == 1 && (t[0] == '+' || t[0] == '-'));
      // A prefix without digits after it: the rule reads its 0 and stops at its letter.
      const size_t prefixEnd = t[0] == '+' || t[0] == '-' ? 3u : 2u;
      const size_t stop = p.base != 10 && p.stop == prefixEnd ? prefixEnd - 1 : p.stop;
      const std::string ignored = quoted(toUtf8(std::string(t.substr(stop))));
      std::string why = "a text without leading digits reads as 0";
      if (p.base != 10 && p.stop > prefixEnd) {
        why = "the integer rule reads the base-" + std::to_string(p.base) +
              " digits after the prefix and stops at the first other character: " + ignored +
              " is ignored";
      } else if (leading) {
        why = "the integer rule stops at the first character that is not a digit: " + ignored +
              " is ignored";
      }
      add(l, "integer", setting, readText, why, fix(l, k));
      return;
    }
    if (p.beyond64 || p.magnitude > UINT32_MAX) {
      add(l, "integer", setting, readText,
          "more than 32 bits: the integer rule keeps the number modulo 2^32", fix(l, k));
      return;
    }
    const int64_t person =
        p.negative ? -static_cast<int64_t>(p.magnitude) : static_cast<int64_t>(p.magnitude);
    if (k.decl.kind == ValueKind::Flag) {
      if ((person != 0) != (read != 0)) {
        add(l, "integer", setting, readText,
            "this switch is on only when the stored number is exactly 1", fix(l, k));
      }
      return;
    }
    // The setter's own form of the value read (a wide value written as a
    // negative signed decimal) is no finding.
    if (person != read && trasso::storedText(k.decl, read) != t) {
      const bool narrow = k.decl.kind == ValueKind::U8 || k.decl.kind == ValueKind::U16;
      add(l, "integer", setting, readText,
          narrow ? std::string("only the low ") + (k.decl.kind == ValueKind::U8 ? "8" : "16") +
                       " bits are kept"
                 : "outside the 32-bit range of this setting: taken modulo 2^32",
          fix(l, k));
      return;
    }
    range(l, k, static_cast<double>(read), readText);
  }

  void range(const LineView& l, const KnownKey& k, double read, const std::string& readText) {
    const std::optional<trasso::Range>& r = k.entry->range;
    if (r && !(read >= r->min && read <= r->max)) {
      add(l, "range", title(k), readText,
          std::string("outside what PutQZJkn_") + k.entry->name + " accepts (" +
              acceptedValues(*k.entry, k.decl) + "); the application still reads it as stored",
          fix(l, k));
    }
  }

  const StoredFile& f_;
  const SettingsIndex& index_;
  std::vector<Finding>& out_;
  SeenNames sections_;
  SeenNames keys_;
  std::string section_;
  bool inSection_ = false;
  bool readable_ = false;
  bool utf8File_ = false;
  size_t lastLine_ = 0;
  // The setting of the current line, and whether the application reads it there.
  std::optional<KnownKey> lineKey_;
  bool lineRead_ = false;
  // The current section's line, whether it has keys, the finding whose fix
  // names its lines and the file it belongs in (wrong-file).
  size_t sectionStart_ = 0;
  bool sectionKeys_ = false;
  size_t sectionFinding_ = SIZE_MAX;
  std::string home_;
  // Unknown-key findings of the section, with the key and the one meant.
  struct Rename {
    size_t finding;
    std::string key;
    std::string meant;
  };
  std::vector<Rename> renames_;
};

struct CheckOptions {
  bool json = false;
  std::vector<std::string> profiles;
};

std::string fileKind(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
#ifdef S_ISSOCK
  if (S_ISSOCK(mode)) return "a socket";
#endif
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

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

#ifdef _WIN32
constexpr const char* kNameRule = "";
#else
constexpr const char* kNameRule = " (file names differ by case here)";
#endif

// The name of a file the application reads that name looks like but is not
// (another case, a letter or two off); empty for a name it reads or none near.
std::string meantName(const std::string& name) {
  if (trasso::facts::readingRoot(name) >= 0) return "";
  const trasso::facts::AntennaFiles antenna = trasso::facts::antennaFiles();
  std::vector<std::string> known;
  for (int id = 0; trasso::SettingsFileName(id) != nullptr; ++id) {
    known.emplace_back(trasso::SettingsFileName(id));
  }
  for (const std::string* path : {&antenna.types, &antenna.sensors, &antenna.merged}) {
    known.push_back(path->substr(path->find_last_of("\\/") + 1));
  }
  const std::string folded = lowerAscii(name);
  for (const std::string& k : known) {
#ifdef _WIN32
    if (folded == lowerAscii(k)) return "";  // the reader opens it whatever its case
#endif
    if (editDistance(folded, lowerAscii(k)) <= 2) return k;
  }
  return "";
}

// Moving a file where the application reads it; when a file is there already,
// whatever this one holds must go into it by hand.
std::string moveFix(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::stat(to.c_str(), &st) == 0) {
    return "move what you need of it into " + to + ", then " + removeCommand(from, false);
  }
  return moveCommand(from, to);
}

int runCheck(const CheckOptions& o) {
  if (const std::string why = unreadableRoots(); !why.empty()) {
    std::cerr << "jkn: cannot check: " << why << "\n";
    return 2;
  }
  const SettingsIndex index;
  // The getters read each file once, not once per key.
  const trasso::fileio::ReadSnapshot snapshot;
  std::vector<Finding> findings;
  size_t files = 0;
  for (StoredFile f : storedFiles(o.profiles)) {
    std::string target;
    struct stat st {};
    const bool exists = ::stat(f.path.c_str(), &st) == 0;
    if (f.root < 0 && !exists) {
      std::cerr << "jkn: profile " << f.path << " does not exist\n";
      return 2;
    }
    if (f.root >= 0 && trasso::fileio::isWriteLeftover(f.name, &target)) {
      findings.push_back(Finding{f.path, 0, "temporary", "", "", "nothing",
                                 "temporary file of a write of " + target +
                                     " that was stopped before it finished; " + target +
                                     " itself is whole, and its next write removes this file",
                                 removeCommand(f.path, false)});
      continue;
    }
    if (f.root >= 0 && !isIniName(f.name)) continue;
    ++files;
    if (f.root >= 0) {
      if (const std::string meant = meantName(f.name); !meant.empty()) {
        findings.push_back(Finding{f.path, 0, "not-read", "", "", "nothing",
                                   "the application opens " + meant + ", never " + f.name +
                                       (lowerAscii(meant) == lowerAscii(f.name) ? kNameRule : ""),
                                   moveFix(f.path, joinPath(folderOf(f.path), meant))});
        continue;
      }
    }
    const int reader = f.root >= 0 ? readingRootOf(f.name) : -1;
    if (reader >= 0 && reader != f.root && !f.bothRoots) {
      const std::string folder = trasso::fileio::nativePath(trasso::AppDataFolder(reader, "inf"));
      findings.push_back(Finding{f.path, 0, "other-root", "", "", "nothing",
                                 "the application reads " + f.name + " from root " +
                                     std::to_string(reader) + " (" + folder + "), never from here",
                                 moveFix(f.path, folder + f.name)});
      continue;
    }
    if (!exists || !S_ISREG(st.st_mode)) {
      findings.push_back(Finding{f.path, 0, "not-regular", "", "", "nothing",
                                 (exists ? fileKind(st.st_mode) : "a broken link") +
                                     ": the application reads the defaults instead",
                                 removeCommand(f.path, exists && S_ISDIR(st.st_mode))});
      continue;
    }
    std::string bytes;
    if (!trasso::fileio::readFile(f.path, bytes)) {
      const int error = errno;
      findings.push_back(Finding{f.path, 0, "unreadable", "", "", "nothing",
                                 std::string("cannot be read (") + std::strerror(error) +
                                     "): the application reads the defaults instead",
                                 error == EACCES || error == EPERM
                                     ? makeReadableCommand(f.path)
                                     : "check the disk, then read " + f.path + " again"});
      continue;
    }
    if (looksUtf16(bytes)) {
      // Without a byte-order mark, the zero bytes tell the byte order.
      const bool bom =
          (bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF');
      const char* from = bom ? "UTF-16" : bytes[0] == '\0' ? "UTF-16BE" : "UTF-16LE";
      findings.push_back(Finding{f.path, 0, "utf-16", "", "", "nothing",
                                 "saved as UTF-16: the application reads every key of it as "
                                 "missing (the defaults); save it in code page 932",
                                 toCodePage932Command(f.path, from)});
      continue;
    }
    if (f.root < 0 && f.profile.empty()) f.profile = index.guessProfileArea(bytes);
    FileChecker(f, index, findings).check(bytes);
  }

#ifdef _WIN32
  // Paths are code page 932 here: a finding shows them in UTF-8.
  for (Finding& x : findings) {
    const std::string folder = folderOf(x.file), shown = shownPath(folder);
    for (std::string* text : {&x.why, &x.fix}) {
      for (size_t at = text->find(folder); at != std::string::npos;
           at = text->find(folder, at + shown.size())) {
        text->replace(at, folder.size(), shown);
      }
    }
    x.file = shownPath(x.file);
  }
#endif
  if (o.json) {
    json all = json::array();
    for (const Finding& x : findings) {
      all.push_back(json{{"file", x.file},
                         {"line", x.line == 0 ? json(nullptr) : json(x.line)},
                         {"kind", x.kind},
                         {"setting", x.setting.empty() ? json(nullptr) : json(x.setting)},
                         {"stored", x.stored},
                         {"read", x.read},
                         {"why", x.why},
                         {"fix", x.fix}});
    }
    std::cout << all.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
  } else {
    for (const Finding& x : findings) {
      std::cout << x.file << (x.line ? ":" + std::to_string(x.line) : std::string()) << ": "
                << x.why << "\n";
      if (!x.setting.empty()) std::cout << "    setting: " << x.setting << "\n";
      if (x.line) std::cout << "    stored:  " << x.stored << "\n";
      if (x.line) std::cout << "    read:    " << x.read << "\n";
      std::cout << "    fix:     " << x.fix << "\n";
    }
    std::cout << (findings.empty() ? "no findings"
                                   : std::to_string(findings.size()) + " finding" +
                                         (findings.size() > 1 ? "s" : ""))
              << " in " << files << " settings file" << (files == 1 ? "" : "s") << "\n";
  }
  return findings.empty() ? 0 : 1;
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
  cmd->add_flag("--json", o->json, "Print the findings as a JSON list");
  cmd->footer(
      "Finds repeated sections and keys, key lines without '=', numbers and colours that\n"
      "read otherwise, texts cut by the read buffer, values outside a setter's range,\n"
      "misspelt keys, bytes that are not code page 932, files in the other root, odd or\n"
      "unreadable files and left-over temporary files, in both roots' \"inf\" folders and\n"
      "the named profiles, each with its fix (a jkn command where one mends it). Changes\n"
      "nothing.\n\n"
      "Exit status:\n  0  no findings\n  1  findings\n  2  error (usage, missing profile, a "
      "settings folder\n     that cannot be looked at)\n");
  cmd->callback([o] {
    int status = 2;
    try {
      status = runCheck(*o);
    } catch (const std::exception& e) {
      std::cerr << "jkn: " << e.what() << "\n";
    }
    finish(status);
  });
}

}  // namespace jkn
