// Setting-out settings: a caller-named file, "jkn-soku.ini" in its default place.
// No setter checks its value.
#include <iterator>

#include "Api.h"
#include "ProfileSetting.h"
#include "Registry.h"

using namespace trasso;
using namespace trasso::profile;

namespace {

constexpr Key soku(const char* section, const char* name) {
  return Key{SettingsFile::JknSoku, section, name};
}

constexpr const char* kRange = "RNG_MINMAX";
constexpr const char* kZerobo = "ZEROBO";
constexpr const char* kStartOp = "STARTOP";

constexpr IntSetting kDstMode{soku("HOSEI", "DSTMODE"), 2};
constexpr DoubleSetting kScale{soku("HOSEI", "SCL"), 1.0};
constexpr DoubleSetting kAveH{soku("HOSEI", "AVEH"), 0.0};
constexpr FlagSetting kPosPT{soku("POS", "P_T"), 1};
constexpr FlagSetting kRangeMinFlag{soku(kRange, "RNG_MINF"), 0};
constexpr DoubleSetting kRangeMinDst{soku(kRange, "RNG_MIND"), 2.0};
constexpr FlagSetting kRangeMaxFlag{soku(kRange, "RNG_MAXF"), 0};
constexpr DoubleSetting kRangeMaxDst{soku(kRange, "RNG_MAXD"), 100.0};
constexpr FlagSetting kDataOrder{soku("ORDER", "DATA"), 1};
constexpr FlagSetting kAutoLightOn{soku(kZerobo, "LIGHTON"), 0};
constexpr FlagSetting kChangeTrk{soku(kZerobo, "CHANGETRK"), 1};
constexpr FlagSetting kTrkCm{soku(kZerobo, "TRMCM"), 0};
constexpr FlagSetting kNormalOnce{soku(kZerobo, "NORMALONCE"), 0};
constexpr FlagSetting kRangeInSoundFlag{soku(kZerobo, "RNGSNDF"), 0};
constexpr DoubleSetting kRangeInSoundDst{soku(kZerobo, "RNGSNDD"), 1.0};
constexpr FlagSetting kRangeInDispFlag{soku(kZerobo, "RNGINDSPF"), 0};
constexpr DoubleSetting kRangeInDispDst{soku(kZerobo, "RNGINDSPD"), 2.0};
constexpr FlagSetting kRangeOutDispFlag{soku(kZerobo, "RNGOUTDSP"), 0};
constexpr DoubleSetting kRangeOutDispDst{soku(kZerobo, "RNGOUTDSPD"), 3.0};
constexpr FlagSetting kUseXyCheck{soku(kZerobo, "USEXYCHECK"), 0};
constexpr FlagSetting kOpenSokusetsuProp{soku(kStartOp, "OPRNSOKP"), 1};
constexpr FlagSetting kOpenSokusetsuMake{soku(kStartOp, "OPRNSOKM"), 0};

bool flag(const char* path, const FlagSetting& s) { return readFlag(pathText(path), s); }
double number(const char* path, const DoubleSetting& s) { return getIn(pathText(path), s); }
template <class S, class V>
void store(const char* path, const S& s, V value) {
  putIn(pathText(path), s, value);
}

}  // namespace

int trasso::api::GetQZJkn_Soku_DstMode(const char* path) noexcept {
  return getIn(pathText(path), kDstMode);
}
void trasso::api::PutQZJkn_Soku_DstMode(const char* path, int v) noexcept {
  store(path, kDstMode, v);
}
double trasso::api::GetQZJkn_Soku_Scale(const char* path) noexcept { return number(path, kScale); }
void trasso::api::PutQZJkn_Soku_Scale(const char* path, double v) noexcept {
  store(path, kScale, v);
}
double trasso::api::GetQZJkn_Soku_AveH(const char* path) noexcept { return number(path, kAveH); }
void trasso::api::PutQZJkn_Soku_AveH(const char* path, double v) noexcept { store(path, kAveH, v); }
bool trasso::api::GetQZJkn_Soku_POS_P_T(const char* path) noexcept { return flag(path, kPosPT); }
void trasso::api::PutQZJkn_Soku_POS_P_T(const char* path, bool v) noexcept {
  store(path, kPosPT, v);
}
bool trasso::api::GetQZJkn_Soku_RangeMinFlag(const char* path) noexcept {
  return flag(path, kRangeMinFlag);
}
void trasso::api::PutQZJkn_Soku_RangeMinFlag(const char* path, bool v) noexcept {
  store(path, kRangeMinFlag, v);
}
double trasso::api::GetQZJkn_Soku_RangeMinDst(const char* path) noexcept {
  return number(path, kRangeMinDst);
}
void trasso::api::PutQZJkn_Soku_RangeMinDst(const char* path, double v) noexcept {
  store(path, kRangeMinDst, v);
}
bool trasso::api::GetQZJkn_Soku_RangeMaxFlag(const char* path) noexcept {
  return flag(path, kRangeMaxFlag);
}
void trasso::api::PutQZJkn_Soku_RangeMaxFlag(const char* path, bool v) noexcept {
  store(path, kRangeMaxFlag, v);
}
double trasso::api::GetQZJkn_Soku_RangeMaxDst(const char* path) noexcept {
  return number(path, kRangeMaxDst);
}
void trasso::api::PutQZJkn_Soku_RangeMaxDst(const char* path, double v) noexcept {
  store(path, kRangeMaxDst, v);
}
bool trasso::api::GetQZJkn_Soku_DataOrder(const char* path) noexcept {
  return flag(path, kDataOrder);
}
void trasso::api::PutQZJkn_Soku_DataOrder(const char* path, bool v) noexcept {
  store(path, kDataOrder, v);
}
bool trasso::api::GetQZJkn_Soku_AutoLightOn(const char* path) noexcept {
  return flag(path, kAutoLightOn);
}
void trasso::api::PutQZJkn_Soku_AutoLightOn(const char* path, bool v) noexcept {
  store(path, kAutoLightOn, v);
}
bool trasso::api::GetQZJkn_Soku_ChangeTRK(const char* path) noexcept {
  return flag(path, kChangeTrk);
}
void trasso::api::PutQZJkn_Soku_ChangeTRK(const char* path, bool v) noexcept {
  store(path, kChangeTrk, v);
}
bool trasso::api::GetQZJkn_Soku_TRK_cm(const char* path) noexcept { return flag(path, kTrkCm); }
void trasso::api::PutQZJkn_Soku_TRK_cm(const char* path, bool v) noexcept {
  store(path, kTrkCm, v);
}
bool trasso::api::GetQZJkn_Soku_NormalOnce(const char* path) noexcept {
  return flag(path, kNormalOnce);
}
void trasso::api::PutQZJkn_Soku_NormalOnce(const char* path, bool v) noexcept {
  store(path, kNormalOnce, v);
}
bool trasso::api::GetQZJkn_Soku_RangeInSoundFlag(const char* path) noexcept {
  return flag(path, kRangeInSoundFlag);
}
void trasso::api::PutQZJkn_Soku_RangeInSoundFlag(const char* path, bool v) noexcept {
  store(path, kRangeInSoundFlag, v);
}
double trasso::api::GetQZJkn_Soku_RangeInSoundDst(const char* path) noexcept {
  return number(path, kRangeInSoundDst);
}
void trasso::api::PutQZJkn_Soku_RangeInSoundDst(const char* path, double v) noexcept {
  store(path, kRangeInSoundDst, v);
}
bool trasso::api::GetQZJkn_Soku_RangeInDispFlag(const char* path) noexcept {
  return flag(path, kRangeInDispFlag);
}
void trasso::api::PutQZJkn_Soku_RangeInDispFlag(const char* path, bool v) noexcept {
  store(path, kRangeInDispFlag, v);
}
double trasso::api::GetQZJkn_Soku_RangeInDispDst(const char* path) noexcept {
  return number(path, kRangeInDispDst);
}
void trasso::api::PutQZJkn_Soku_RangeInDispDst(const char* path, double v) noexcept {
  store(path, kRangeInDispDst, v);
}
bool trasso::api::GetQZJkn_Soku_RangeOutDispFlag(const char* path) noexcept {
  return flag(path, kRangeOutDispFlag);
}
void trasso::api::PutQZJkn_Soku_RangeOutDispFlag(const char* path, bool v) noexcept {
  store(path, kRangeOutDispFlag, v);
}
double trasso::api::GetQZJkn_Soku_RangeOutDispDst(const char* path) noexcept {
  return number(path, kRangeOutDispDst);
}
void trasso::api::PutQZJkn_Soku_RangeOutDispDst(const char* path, double v) noexcept {
  store(path, kRangeOutDispDst, v);
}
bool trasso::api::GetQZJkn_Soku_UseXYCheckFlag(const char* path) noexcept {
  return flag(path, kUseXyCheck);
}
void trasso::api::PutQZJkn_Soku_UseXYCheckFlag(const char* path, bool v) noexcept {
  store(path, kUseXyCheck, v);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuProp(const char* path) noexcept {
  return flag(path, kOpenSokusetsuProp);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuProp() noexcept {
  return GetQZJkn_Soku_OpenSokusetsuProp(GetQZJkn_Soku_Path().c_str());
}
void trasso::api::PutQZJkn_Soku_OpenSokusetsuProp(const char* path, bool v) noexcept {
  store(path, kOpenSokusetsuProp, v);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuMake(const char* path) noexcept {
  return flag(path, kOpenSokusetsuMake);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuMake() noexcept {
  return GetQZJkn_Soku_OpenSokusetsuMake(GetQZJkn_Soku_Path().c_str());
}
void trasso::api::PutQZJkn_Soku_OpenSokusetsuMake(const char* path, bool v) noexcept {
  store(path, kOpenSokusetsuMake, v);
}

namespace trasso {

RegistryPart sokuRegistry() {
  using ProfileGetter = bool (*)(const char*) noexcept;
  static const SettingEntry entries[] = {
#include "SokuSettings.entries.inc"
      // Each getter also has a form without a path; the entry uses the one with.
      settingEntry<static_cast<ProfileGetter>(&api::GetQZJkn_Soku_OpenSokusetsuProp),
                   &api::PutQZJkn_Soku_OpenSokusetsuProp>("Soku_OpenSokusetsuProp",
                                                          kOpenSokusetsuProp),
      settingEntry<static_cast<ProfileGetter>(&api::GetQZJkn_Soku_OpenSokusetsuMake),
                   &api::PutQZJkn_Soku_OpenSokusetsuMake>("Soku_OpenSokusetsuMake",
                                                          kOpenSokusetsuMake),
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso
