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

namespace trasso {

RegistryPart registryOfDisplayLists() {
  static const SettingEntry entries[] = {
#include "generated/display/DisplayLists.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso
