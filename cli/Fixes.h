// The fixes of jkn check as operations: each is a jkn command or an edit of a
// file anchored to what it changes (a setting's key as the reader finds it, a
// line's exact text, a section's name), never to a line number that another
// fix moves, so that fixes carried out in any order come to the same files.
// check --fix applies them, each file as one locked read-edit-replace.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Ini.h"
#include "WriteStatus.h"

namespace jkn {

// A line a person takes for a comment (";..." or "#..."): to the reader a key
// no setting has, to check no finding.
inline bool isNote(std::string_view name) {
  return !name.empty() && (name[0] == ';' || name[0] == '#');
}

// A file's lines with their places, grouped into sections as the reader sees them.
struct FileLayout {
  struct Line {
    trasso::ini::LineView view;
    size_t begin;  // of its text
    size_t next;   // of the line after it (or the end)
    int block;     // its section: -1 before the first
    bool readKey;  // the line the reader takes for its key
  };
  struct Block {
    std::string name;
    bool read;     // the first section of its name
    size_t first;  // index of its section line
    size_t end;    // index past its last line
  };
  std::vector<Line> lines;
  std::vector<Block> blocks;

  explicit FileLayout(std::string_view file);
  // Whether a line lies in a section of that name (none: before the first).
  bool inScope(const Line& l, const std::optional<std::string>& section) const;
  // The bytes of lines from up to to (or the end of a file of size bytes).
  std::pair<size_t, size_t> range(size_t from, size_t to, size_t size) const;
  // The line the reader takes for key of section, if any.
  const Line* readLine(std::string_view section, std::string_view key) const;
};

// One change of one file, made on its bytes as they are when it is made.
struct Edit {
  enum Kind {
    SetKey,         // key of the first section named `section` set to `text`, as a setter writes it
    RemoveKey,      // the first line of key in that section, as jkn reset removes it
    DeleteLine,     // every line reading exactly `line` in the sections named `section`
                    // (lines before the first section when there is none)
    ReplaceLine,    // the first such line becomes `text`
    DeleteSection,  // the sections named `section`, each with its lines up to the next
    ReEncode,       // the whole file from encoding `text` to code page 932
    // Whole files, outside any settings file's bytes:
    RemoveFile,     // a file or (empty) folder in a settings file's place, a stray file
    ClearLeftover,  // what a stopped write of `file` left beside it, cleared as writes do
    MoveFile,       // `file` to the free place `text`
  };
  Edit(Kind kind, std::string file, std::optional<std::string> section = std::nullopt,
       std::string key = "")
      : kind(kind), file(std::move(file)), section(std::move(section)), key(std::move(key)) {}

  Kind kind;
  std::string file;                    // native path
  std::optional<std::string> section;  // bytes; none: before the first section
  std::string key;
  std::string line;
  std::string text;
  // DeleteLine: the line the reader takes for its key stays; DeleteSection:
  // the first section of the name (the one read) stays.
  bool keepRead = false;
  // DeleteLine: a section left with nothing but notes goes too.
  bool dropEmptySection = false;
  // SetKey, RemoveKey under --fix: the key's line as check read it (none: the
  // key was not stored); another line there now means someone else wrote it.
  bool checked = false;
  std::optional<std::string> expect;
};

// One step of a fix: a command as a person runs it (jkn, or the platform's
// shell), one edit, or neither (a step for a person, which text describes);
// `edits` is what check --fix does for it (empty: it cannot).
struct Step {
  std::string text;
  std::vector<std::string> argv;
  std::vector<Edit> edits;
};

// A fix: its steps in order. Where a finding needs a choice, each of its fixes
// says what it keeps.
struct Fix {
  std::string label;
  std::vector<Step> steps;
};

std::string fixText(const Fix& fix);
nlohmann::json stepJson(const Step& step);
nlohmann::json fixJson(const Fix& fix);

// How an edit went on the bytes given.
enum class EditOutcome {
  Done,
  Gone,     // nothing of what it changes is there (any more): nothing to do
  Changed,  // the key's line is no longer what check read: someone else wrote it
  Refused,  // the result could not be stored (a character code page 932 lacks)
};
EditOutcome applyEdit(const Edit& edit, std::string& contents);

// A fix that check --fix is to apply, and how that went.
struct Planned {
  const Fix* fix = nullptr;
  bool done = false;
  std::string failed;  // why it was not (or only partly) applied
  int status = 0;      // jkn's exit status of a write that failed, else 0
};

// Applies the fixes, each file once, in an order that writes a key's new home
// before the line it came from goes. With dryRun nothing is written: the
// changes are printed as a unified diff instead.
void applyFixes(std::vector<Planned>& planned, bool dryRun);

// A unified diff of two texts (lines shown in UTF-8), or "" when they are the same.
std::string unifiedDiff(const std::string& name, const std::string& before,
                        const std::string& after);

// UTF-16 bytes (byte order given, or by the mark; a mark dropped) as UTF-8.
std::string utf16ToUtf8(const std::string& bytes, const std::string& encoding);

}  // namespace jkn
