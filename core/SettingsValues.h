// Value kinds of settings files: how each kind is read from and written to a key.
//
// Every function names its file by a path text as the library composes it ('\'
// or '/' between folders), opens it, does its one read or write and keeps
// nothing. Reads never create or change anything; a missing file, section or key
// gives the default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ReadSnapshot.h"
#include "SettingsFileIo.h"
#include "WriteStatus.h"

namespace trasso {

struct ThreadBuffers;

// One settings file read once, for an operation that reads several keys of it:
// one open, one read and one close, and every key comes from the same version of
// the file. A file that cannot be read has no keys. The bytes live in a buffer
// the thread keeps for its next reader, so reading allocates nothing. The reads follow the rules of
// the free functions below. Within a fileio::ReadSnapshot the file comes from
// the snapshot, which reads it once for the whole scope.
class SettingsReader {
 public:
  explicit SettingsReader(const std::string& path);
  ~SettingsReader();
  SettingsReader(const SettingsReader&) = delete;
  SettingsReader& operator=(const SettingsReader&) = delete;

  // The raw value (quotes removed), or nullopt when missing or without '='.
  std::optional<std::string_view> raw(const char* section, const char* key) const;
  // Looks for several keys of one section in one pass over it, for a record's
  // getter that reads them next: raw() gives their values without looking again.
  void findTogether(const char* section, const char* const* keys, size_t count) const;
  uint32_t intBits(const char* section, const char* key, int32_t def) const;
  std::string text(const char* section, const char* key, const char* def,
                   size_t bufferSize = 260) const;
  double doubleA(const char* section, const char* key, double def, size_t bufferSize = 260) const;
  double doubleB(const char* section, const char* key, const char* defText,
                 size_t bufferSize = 260) const;

 private:
  ThreadBuffers* spare_;
  fileio::FileBytes bytes_;
  const fileio::ReadSnapshot::File* held_ = nullptr;  // the snapshot's, within one
  // The section last asked for and where its lines start: the keys of a record
  // are looked up in it without looking for the section again.
  // Names up to its size are kept, so that a read allocates nothing.
  mutable char section_[32] = {};
  mutable size_t sectionSize_ = 0;  // 0: none kept
  mutable std::optional<size_t> body_;
  // Keys of that section found together, with their values.
  struct Found {
    char key[64];
    size_t size;
    std::optional<std::string_view> value;
  };
  static constexpr size_t kMostFound = 8;
  mutable Found found_[kMostFound];
  mutable size_t foundCount_ = 0;
  // Where the lines of section start, kept for the next key of the same section.
  std::optional<size_t> sectionBody(std::string_view section) const;
};

// The raw value of a key (quotes already removed), or nullopt when the file,
// section or key is missing or the key's line has no '='.
std::optional<std::string> readRaw(const std::string& path, const char* section, const char* key);

// Integer rule: the value's number as a 32-bit pattern, or def when the key is
// missing or empty. Leading blanks, a sign, then digits (a lowercase 0x, 0o or 0b
// prefix selects base 16, 8 or 2), taken modulo 2^32; no digits give 0.
uint32_t readIntBits(const std::string& path, const char* section, const char* key, int32_t def);
uint32_t parseIntBits(std::string_view text);

// How the integer rule reads a text, for a tool that explains it. A prefix
// without a digit of its base after it reads as the 0 it starts with (base 10).
struct IntReading {
  bool negative = false;
  unsigned base = 10;
  size_t digits = 0;       // digits read
  size_t stop = 0;         // where reading stopped: the first byte not taken
  uint32_t magnitude = 0;  // the digits' number, modulo 2^32
  bool wrapped = false;    // the digits' number is 2^32 or more
  uint32_t bits() const { return negative ? 0u - magnitude : magnitude; }
};
IntReading readInteger(std::string_view text);

// Text rule: the stored value, or def when the key is missing, cut to
// bufferSize - 1 bytes.
std::string readText(const std::string& path, const char* section, const char* key, const char* def,
                     size_t bufferSize = 260);

// Double forms, the text read through a buffer of bufferSize bytes. Form A: def
// when the text is missing or empty, else its number. Form B: the number of the
// text read with a default text (empty gives 0.0).
double readDoubleA(const std::string& path, const char* section, const char* key, double def,
                   size_t bufferSize = 260);
double readDoubleB(const std::string& path, const char* section, const char* key,
                   const char* defText, size_t bufferSize = 260);

// The standard text-to-double conversion: leading blanks, then the longest
// decimal number (sign, digits, point, exponent); 0.0 when there is none.
// Independent of the process locale.
double textToDouble(std::string_view text);

// The standard text-to-integer conversion (leading blanks, sign, decimal digits;
// 0 when there are none), taken modulo 2^32.
uint32_t textToIntBits(std::string_view text);

// Colour rule: red, green and blue from the first three comma-separated pieces
// (runs of commas count as one), each cut to 8 bits; missing pieces stay 255.
uint32_t ColourFromText(const char* text);
// "%3d,%3d,%3d" of red, green and blue.
std::string colourToText(uint32_t colour);

// Number texts as the write formats give them.
std::string formatInt(int32_t value);                 // "%d"
std::string formatUnsigned(uint32_t value);           // "%u", "%lu"
std::string formatFixed(double value, int decimals);  // "%f" (6), "%.3f", "%.6f"
// The int whose "%d" text name is after prefix (compared as the reader compares
// names): "COL-1" after "COL" is -1; "COL07", "COL+7" and "COL-0" are none.
std::optional<int> numberAfter(std::string_view name, std::string_view prefix);

// Write rule: value given sets the key; a null value removes it. Refused (and
// nothing written) for a section, key or value that holds a line break.
WriteStatus writeText(const std::string& path, const char* section, const char* key,
                      const char* value);
WriteStatus writeText(const std::string& path, const char* section, const char* key,
                      std::string_view value);

// Removes a whole section.
WriteStatus removeSection(const std::string& path, const char* section);

// Several changes of one file made as one update: one lock, one read, one
// replacement, so that a reader sees all of them or none and a crash leaves
// all or none. The file ends up exactly as the same writes made one by one
// would leave it: each change is applied in order, and one that cannot be
// stored is left out (commit then reports Refused) while the others are made.
class FileEdit {
 public:
  explicit FileEdit(std::string path) : path_(std::move(path)) {}

  // A null value removes the key, as writeText does.
  void set(const char* section, const char* key, const char* value);
  void set(const char* section, const char* key, std::string_view value);
  void removeSection(const char* section);

  WriteStatus commit();

 private:
  WriteStatus apply();
  enum class Op { Set, RemoveKey, RemoveSection };
  struct Change {
    Op op;
    bool storable;
    std::string section, key, value;
  };
  std::string path_;
  std::vector<Change> changes_;
};

}  // namespace trasso
