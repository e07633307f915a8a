// Short editable lists, screen colours and record sizes by file, single values of
// "def-share.ini", the log display and the sound names.
#include <iterator>

#include "Api.h"
#include "CallNotes.h"
#include "NumberedSetting.h"
#include "Registry.h"
#include "Setting.h"

using namespace trasso;

#include "generated/display/DisplayLists.settings.inc"

namespace {

// A numbered list: capacity, count and entries keyed by their number.
struct ListSettings {
  IntSetting max;
  IntSetting cnt;
  TextSetting entry;  // empty name: the key is the entry number alone
};

constexpr ListSettings list(SettingsFile file, const char* section, int32_t maxDef,
                            const char* entryDef, size_t entryBuffer) {
  return ListSettings{IntSetting{Key{file, section, "Max"}, maxDef},
                      IntSetting{Key{file, section, "Cnt"}, 0},
                      TextSetting{Key{file, section, ""}, entryDef, entryBuffer}};
}

constexpr ListSettings kMkhy = list(SettingsFile::DefTs, "Mkhy", 8, "0.000", 20);
constexpr ListSettings kAntn = list(SettingsFile::DefNmea, "Antn", 8, "0.000", 20);
constexpr ListSettings kGnssAntn = list(SettingsFile::DefGnss, "Antn", 8, "0.000", 20);
constexpr ListSettings kMemo = list(SettingsFile::DefShare, "Memo", 10, "", 81);

// Screen colours and record sizes live in whichever catalogue file the caller
// names by its id. An id outside the catalogue names no file, so nothing is read
// or written through it.
bool namesFile(int id) { return SettingsFileName(id) != nullptr; }

// The key `which` chooses: 0 "MessBak", 1 "MessFor", 2 "BtnNorm", 3 "BtnPush",
// 4 "FuncBak" (the registry's table); null for any other.
const char* colourKey(int which) { return screenColourKey(which); }

// The colour key of file id, section "%d", chosen by which; the section text
// must outlive the returned setting.
ColourSetting screenColour(int id, const std::string& section, const char* key) {
  return ColourSetting{Key{static_cast<SettingsFile>(id), section.c_str(), key}, kScreenColour.def};
}

// The record size of the file the caller names by its id.
U8Setting recSize(int id) {
  U8Setting s = kRecSize;
  s.key.file = static_cast<SettingsFile>(id);
  return s;
}

}  // namespace

int trasso::api::GetQZJkn_MkhyMax() noexcept { return get(kMkhy.max); }
void trasso::api::PutQZJkn_MkhyMax(int value) noexcept { put(kMkhy.max, value); }
int trasso::api::GetQZJkn_MkhyCnt() noexcept { return get(kMkhy.cnt); }
void trasso::api::PutQZJkn_MkhyCnt(int value) noexcept { put(kMkhy.cnt, value); }
std::string trasso::api::GetQZJkn_Mkhy(int n) noexcept { return getNumbered(kMkhy.entry, n); }
void trasso::api::PutQZJkn_Mkhy(int n, const char* text) noexcept {
  putNumbered(kMkhy.entry, n, text);
}

int trasso::api::GetQZJkn_AntnMax() noexcept { return get(kAntn.max); }
void trasso::api::PutQZJkn_AntnMax(int value) noexcept { put(kAntn.max, value); }
int trasso::api::GetQZJkn_AntnCnt() noexcept { return get(kAntn.cnt); }
void trasso::api::PutQZJkn_AntnCnt(int value) noexcept { put(kAntn.cnt, value); }
std::string trasso::api::GetQZJkn_Antn(int n) noexcept { return getNumbered(kAntn.entry, n); }
void trasso::api::PutQZJkn_Antn(int n, const char* text) noexcept {
  putNumbered(kAntn.entry, n, text);
}

int trasso::api::GetQZJkn_GnssAntnMax() noexcept { return get(kGnssAntn.max); }
void trasso::api::PutQZJkn_GnssAntnMax(int value) noexcept { put(kGnssAntn.max, value); }
int trasso::api::GetQZJkn_GnssAntnCnt() noexcept { return get(kGnssAntn.cnt); }
void trasso::api::PutQZJkn_GnssAntnCnt(int value) noexcept { put(kGnssAntn.cnt, value); }
std::string trasso::api::GetQZJkn_GnssAntn(int n) noexcept {
  return getNumbered(kGnssAntn.entry, n);
}
void trasso::api::PutQZJkn_GnssAntn(int n, const char* text) noexcept {
  putNumbered(kGnssAntn.entry, n, text);
}

int trasso::api::GetQZJkn_MemoMax() noexcept { return get(kMemo.max); }
void trasso::api::PutQZJkn_MemoMax(int value) noexcept { put(kMemo.max, value); }
int trasso::api::GetQZJkn_MemoCnt() noexcept { return get(kMemo.cnt); }
void trasso::api::PutQZJkn_MemoCnt(int value) noexcept { put(kMemo.cnt, value); }
std::string trasso::api::GetQZJkn_Memo(int n) noexcept { return getNumbered(kMemo.entry, n); }
void trasso::api::PutQZJkn_Memo(int n, const char* text) noexcept {
  putNumbered(kMemo.entry, n, text);
}

uint32_t trasso::api::GetQZJkn_Color(int file, int which, int section) noexcept {
  const char* key = colourKey(which);
  if (key == nullptr || !namesFile(file)) return ColourFromText(kScreenColour.def);
  return get(screenColour(file, formatInt(section), key));
}

void trasso::api::PutQZJkn_Color(int file, int which, int section, uint32_t colour) noexcept {
  const char* key = colourKey(which);
  if (key == nullptr || !namesFile(file)) {
    if (key == nullptr) {
      CallNotes::misuse(
          "key number", which,
          "names no colour key (0 to 4: MessBak, MessFor, BtnNorm, BtnPush, FuncBak)");
    } else {
      CallNotes::misuse("file id", file, "names no settings file (0 to 17)");
    }
    return;
  }
  put(screenColour(file, formatInt(section), key), colour);
}

uint8_t trasso::api::GetQZJkn_RecSize(int file) noexcept {
  return namesFile(file) ? get(recSize(file)) : 0;
}

void trasso::api::PutQZJkn_RecSize(int file, uint8_t size) noexcept {
  if (!namesFile(file))
    return CallNotes::misuse("file id", file, "names no settings file (0 to 17)");
  put(recSize(file), size);
}

std::string trasso::api::GetQZJkn_WavName(int n) noexcept { return getNumbered(kWavName, n); }

namespace trasso {

RegistryPart registryOfDisplayLists() {
  static const SettingEntry entries[] = {
#include "generated/display/DisplayLists.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso
