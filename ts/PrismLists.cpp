// The two prism lists of "def-ts.ini" and the prism text form of their entries:
// the value in millimetres, "mm" and a full-width colon, then the name, all in
// code page 932.
#include <iterator>
#include <string_view>

#include "Api.h"
#include "CodePage932.h"
#include "Registry.h"
#include "Setting.h"
#include "display/NumberedSetting.h"

using namespace trasso;

namespace {

// "mm" followed by the full-width colon.
constexpr std::string_view kMark = "mm\x81\x46";
// A value of 0 and a name saying that no name was given.
constexpr const char* kDefaultEntry =
    "-000mm\x81\x46"
    "(\x96\xBC\x91\x4F\x8E\x77\x92\xE8\x82\xC8\x82\xB5)";

// Entries are read through a 40-byte buffer.
constexpr size_t kEntryBuffer = 40;
// A value token is at most this long: a sign and three digits.
constexpr size_t kMaxValueToken = 4;
constexpr int kMinValue = -999;
constexpr int kMaxValue = 999;

struct PrismList {
  IntSetting max;
  IntSetting count;
  TextSetting entry;  // the key is the entry number alone
};

constexpr PrismList prismList(const char* section) {
  return PrismList{{{SettingsFile::DefTs, section, "Max"}, 8},
                   {{SettingsFile::DefTs, section, "Cnt"}, 0},
                   {{SettingsFile::DefTs, section, ""}, kDefaultEntry, kEntryBuffer}};
}

constexpr PrismList kPsm = prismList("Psm");
constexpr PrismList kPsm2 = prismList("Psm2");

// Entry keys are the index in decimal, exactly as the caller gives it.
std::string getEntry(const PrismList& list, int index) { return getNumbered(list.entry, index); }

void putEntry(const PrismList& list, int index, const char* text) {
  putNumbered(list.entry, index, text);
}

// The entry with every "mm" + full-width colon turned into one blank. Matches
// start only at character boundaries, so a second byte is never taken for an "m".
std::string replaceMarks(std::string_view entry) {
  std::string out;
  for (size_t i = 0; i < entry.size();) {
    if (entry.substr(i, kMark.size()) == kMark) {
      out += ' ';
      i += kMark.size();
    } else {
      const size_t n = cp932::charWidth(entry, i);
      out.append(entry.substr(i, n));
      i += n;
    }
  }
  return out;
}

// Skips blanks from pos, then takes the characters up to the next blank or the
// end; pos is left on that blank (or the end). Only the ASCII space is a blank.
std::string_view nextToken(std::string_view text, size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const size_t start = pos;
  while (pos < text.size() && text[pos] != ' ') pos += cp932::charWidth(text, pos);
  return text.substr(start, pos - start);
}

std::string_view trimWhiteSpace(std::string_view text) {
  constexpr std::string_view kWhite = " \t\n\v\f\r";
  const size_t first = text.find_first_not_of(kWhite);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhite) - first + 1);
}

}  // namespace

int trasso::api::GetQZJkn_TS_PsmMax() noexcept { return get(kPsm.max); }
void trasso::api::PutQZJkn_TS_PsmMax(int value) noexcept { put(kPsm.max, value); }
int trasso::api::GetQZJkn_TS_PsmCnt() noexcept { return get(kPsm.count); }
void trasso::api::PutQZJkn_TS_PsmCnt(int value) noexcept { put(kPsm.count, value); }
std::string trasso::api::GetQZJkn_TS_Psm(int index) noexcept { return getEntry(kPsm, index); }
void trasso::api::PutQZJkn_TS_Psm(int index, const char* text) noexcept {
  putEntry(kPsm, index, text);
}
int trasso::api::GetQZJkn_TS_Psm2Max() noexcept { return get(kPsm2.max); }
void trasso::api::PutQZJkn_TS_Psm2Max(int value) noexcept { put(kPsm2.max, value); }
int trasso::api::GetQZJkn_TS_Psm2Cnt() noexcept { return get(kPsm2.count); }
void trasso::api::PutQZJkn_TS_Psm2Cnt(int value) noexcept { put(kPsm2.count, value); }
std::string trasso::api::GetQZJkn_TS_Psm2(int index) noexcept { return getEntry(kPsm2, index); }
void trasso::api::PutQZJkn_TS_Psm2(int index, const char* text) noexcept {
  putEntry(kPsm2, index, text);
}

int trasso::api::GetQZJkn_TS_Psm_FromStr(const char* entry, int& value,
                                         std::string& name) noexcept {
  const std::string text = replaceMarks(entry != nullptr ? entry : "");
  size_t pos = 0;
  const std::string_view token = nextToken(text, pos);
  // No token at all: nothing to take a value from.
  if (token.empty() || token.size() > kMaxValueToken ||
      token.find_first_not_of("-0123456789") != std::string_view::npos) {
    return 0;
  }
  // The value is kept even when it is then refused as out of range.
  value = static_cast<int>(textToIntBits(token));
  if (value < kMinValue || value > kMaxValue) return 0;
  name = std::string(trimWhiteSpace(nextToken(text, pos)));
  return 1;
}

std::string trasso::api::PutQZJkn_TS_Psm_ToStr(const char* name, int value) noexcept {
  return formatInt(value) + std::string(kMark) + (name != nullptr ? name : "");
}

namespace trasso {

RegistryPart registryOfPrismLists() {
  static const SettingEntry entries[] = {
#include "generated/ts/PrismLists.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso
