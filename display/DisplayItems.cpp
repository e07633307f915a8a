// Display item switches: one key of section "Use" per item code, in one of the
// three shared default files.
#include <iterator>

#include "Api.h"
#include "CallNotes.h"
#include "Registry.h"
#include "Setting.h"

using namespace trasso;

namespace {

constexpr SettingsFile kShare = SettingsFile::DefShare;
constexpr SettingsFile kTs = SettingsFile::DefTs;
constexpr SettingsFile kNmea = SettingsFile::DefNmea;

// The getter hands back whatever integer the file holds; the setter writes "1"/"0".
constexpr FlagSetting use(SettingsFile file, const char* name, int32_t def) {
  return FlagSetting{Key{file, "Use", name}, def, FlagRead::Stored};
}
constexpr FlagSetting kUnassigned = use(kShare, nullptr, 0);

// Indexed by item code.
constexpr FlagSetting kItems[] = {
    use(kShare, "NoNm", 0),  // 0
    use(kTs, "Mkhy", 1),     // 1
    use(kShare, "Memo", 1),  // 2
    use(kShare, "Line", 0),  // 3
    use(kShare, "Pint", 0),  // 4
    use(kShare, "Moji", 0),  // 5
    use(kShare, "Hsya", 0),  // 6
    use(kShare, "Logg", 1),  // 7
    use(kShare, "Zoom", 0),  // 8
    use(kTs, "Kkou", 1),     // 9
    use(kTs, "Khou", 0),     // 10
    use(kTs, "Kkyo", 0),     // 11
    use(kTs, "Kmok", 0),     // 12
    use(kNmea, "Antn", 1),   // 13
    use(kNmea, "Gps", 1),    // 14
    use(kNmea, "DGps", 1),   // 15
    use(kNmea, "Rtk", 1),    // 16
    use(kNmea, "Float", 0),  // 17
    use(kShare, "OKIK", 1),  // 18
    use(kShare, "OKST", 1),  // 19
    use(kShare, "OSOK", 1),  // 20
    use(kShare, "OSST", 1),  // 21
    use(kShare, "OBLN", 1),  // 22
    use(kShare, "OHLN", 1),  // 23
    use(kShare, "OKLN", 1),  // 24
    kUnassigned,             // 25
    use(kShare, "OALL", 1),  // 26
    use(kShare, "OCAD", 1),  // 27
    use(kShare, "ONOW", 1),  // 28
    use(kShare, "OCD2", 0),  // 29
    use(kTs, "Snsr", 0),     // 30
    use(kShare, "Logp", 0),  // 31
    use(kShare, "ALL", 0),   // 32
    use(kShare, "RSND", 1),  // 33
    use(kShare, "TSOK", 1),  // 34
    use(kShare, "INGT", 1),  // 35
    use(kShare, "ADOK", 1),  // 36
    use(kShare, "NMOK", 1),  // 37
    use(kShare, "CNCT", 1),  // 38
    use(kShare, "LOCK", 1),  // 39
    use(kShare, "ROTA", 1),  // 40
    use(kTs, "Zerb", 0),     // 41
    use(kShare, "PILT", 1),  // 42
    use(kShare, "DIST", 1),  // 43
    use(kTs, "TrkR", 1),     // 44
    use(kShare, "LLON", 1),  // 45
    use(kShare, "LPON", 1),  // 46
    use(kShare, "SCON", 1),  // 47
    use(kShare, "SWON", 1),  // 48
    use(kShare, "PSON", 0),  // 49: written like its neighbours
    use(kShare, "O_TS", 1),  // 50
    use(kShare, "OGNS", 1),  // 51
    use(kShare, "CHGS", 1),  // 52
    use(kShare, "OUTD", 1),  // 53
};
static_assert(std::size(kItems) == 54, "item codes run from 0 to 53");

// The switch of an item code, or null for an unassigned code.
const FlagSetting* item(int code) {
  if (code < 0 || code >= static_cast<int>(std::size(kItems))) return nullptr;
  return kItems[code].key.name != nullptr ? &kItems[code] : nullptr;
}

}  // namespace

int trasso::api::GetQZJkn_Use(int /*ignored*/, int code) noexcept {
  const FlagSetting* s = item(code);
  return s != nullptr ? get(*s) : 0;
}

void trasso::api::PutQZJkn_Use(int /*ignored*/, int code, int value) noexcept {
  const FlagSetting* s = item(code);
  if (s == nullptr) {
    return CallNotes::misuse("item code", code, "names no item (0 to 53; 25 is unassigned)");
  }
  put(*s, value);
}

namespace {

// The registry's view of the pair: the item code is the selector.
int getUse(int code) noexcept { return api::GetQZJkn_Use(0, code); }
void putUse(int code, int value) noexcept { api::PutQZJkn_Use(0, code, value); }

Declaration useDeclaration(int code) {
  const FlagSetting* s = item(code);
  return s != nullptr ? declare(*s) : declare(kUnassigned);
}

}  // namespace

namespace trasso {

RegistryPart registryOfDisplayItems() {
  static const SettingEntry entries[] = {[] {
    SettingEntry e = settingEntry<&getUse, &putUse>("Use", kItems[0], SelectorKind::Item,
                                                    std::nullopt, std::size(kItems));
    e.declarationAt = &useDeclaration;
    return e;
  }()};
  return {entries, std::size(entries)};
}

}  // namespace trasso
