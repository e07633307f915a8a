// Instrument profiles of the two robotic total-station families, ZETR and PL30:
// caller-named files with three-letter sections and keys. The PL30 profile uses
// the ZETR layout for the keys both families share, and its operations on them
// are the ZETR operations under a second name.
#include <iterator>

#include "Api.h"
#include "ProfileSetting.h"
#include "Registry.h"
#include "StoreFacts.h"
#include "outside/MathBase.h"

using namespace trasso;
using namespace trasso::profile;

namespace {

constexpr Key zetr(const char* section, const char* name) {
  return Key{SettingsFile::JknZetr, section, name};
}
constexpr Key pl30(const char* section, const char* name) {
  return Key{SettingsFile::JknPl30, section, name};
}

constexpr const char* kObs = "OBS";

// Keys of the ZETR profile; the PL30 profile shares "DST", "ANG", "TGT", "NPR",
// "AUT" and "SCH" with it.
constexpr FlagSetting kStartupJkn{zetr("DSP", "STJ"), 1};
constexpr FlagSetting kUseDstHosei{zetr("DST", "USE"), 0};
constexpr RangedDouble kCentigrade{{zetr("DST", "CEN"), 20.0}, -70.0, 70.0};
constexpr RangedDouble kPressure{{zetr("DST", "HPA"), 1013.25}, 500.0, 1200.0};
constexpr RangedInt kAngDispMode{{zetr("ANG", "MOD"), 1}, 1, 3};
constexpr IntSetting kPsmType{zetr("TGT", "TYP"), 1};
constexpr RangedInt kZetrPsmType{kPsmType, 1, 5};
constexpr RangedInt kPsmValue1{{zetr("TGT", "PV1"), 0}, -999, 999};
constexpr RangedInt kHowAutolock{{zetr("TGT", "HOW"), 1}, 1, 2};
constexpr RangedInt kTargetId{{zetr("TGT", "TID"), 0}, 0, 8};
constexpr FlagSetting kAutoOff{zetr("TGT", "AOF"), 0};
constexpr RangedInt kPsmValue2{{zetr("TGT", "PV2"), 0}, -999, 999};
constexpr Key kNprValue = zetr("NPR", "VAL");
constexpr RangedInt kZetrNprValue{{kNprValue, 3}, 1, 99};
constexpr RangedInt kNprMin{{zetr("NPR", "RMN"), 1}, 1, 9999};
constexpr RangedInt kNprMax{{zetr("NPR", "RMX"), 999}, 1, 9999};
constexpr RangedInt kAutTime{{zetr("AUT", "TIM"), 2}, 0, 3};
constexpr RangedInt kRtiPercent{{zetr("HRD", "RTI"), 0}, 0, 100};
constexpr FlagSetting kBltOnOff{zetr("HRD", "BLT"), 0};
constexpr FlagSetting kPsmMode{zetr(kObs, "PMD"), 1};
constexpr FlagSetting kMsrMode{zetr(kObs, "MMD"), 1};
constexpr FlagSetting kAfAlignment{zetr("AFS", "AGN"), 0};
constexpr FlagSetting kAfAutoLock{zetr("AFS", "ALK"), 0};
constexpr FlagSetting kAfSideButton{zetr("AFS", "SBF"), 0};

// Keys only the PL30 profile has, and its narrower prism-type range.
constexpr RangedInt kPl30PsmType{kPsmType, 1, 3};
constexpr IntSetting kPl30NprValue{kNprValue, 1};
constexpr FlagSetting kLockLiveViewOff{pl30("AUT", "LVF"), 1};
constexpr FlagSetting kUseAutoSearch{pl30("SCH", "USE"), 0};

// Search ranges default to whole degrees, formed anew on every call.
DoubleSetting searchRange(const Key& key, double packedDegrees) {
  return DoubleSetting{key, _DmstoRad(&packedDegrees)};
}
constexpr Key kSearchH = zetr("SCH", "HOR");
constexpr Key kSearchV = zetr("SCH", "VER");
DoubleSetting zetrSearchH() { return searchRange(kSearchH, 30.0); }
DoubleSetting zetrSearchV() { return searchRange(kSearchV, 10.0); }
DoubleSetting pl30SearchH() { return searchRange(pl30("SCH", "HOR"), 2.0); }
DoubleSetting pl30SearchV() { return searchRange(pl30("SCH", "VER"), 2.0); }

// The PL30 search ranges are set one angle at a time, each up to pi. Every
// caller keeps its own bound, initialised on its first call.
bool putPl30SearchRange(const char* path, const DoubleSetting& s, double angle, double pi) {
  return succeeded(putChecked(pathText(path), RangedDouble{s, 0.0, pi}, angle));
}

}  // namespace

// ZETR profile.

bool trasso::api::GetQZJkn_ZETR_Dsp_StartupJkn(const char* path) noexcept {
  return readFlag(pathText(path), kStartupJkn);
}
void trasso::api::PutQZJkn_ZETR_Dsp_StartupJkn(const char* path, bool value) noexcept {
  putIn(pathText(path), kStartupJkn, value);
}
bool trasso::api::GetQZJkn_ZETR_Dst_UseDstHosei(const char* path) noexcept {
  return readFlag(pathText(path), kUseDstHosei);
}
void trasso::api::PutQZJkn_ZETR_Dst_UseDstHosei(const char* path, bool value) noexcept {
  putIn(pathText(path), kUseDstHosei, value);
}
void trasso::api::GetQZJkn_ZETR_Dst_CentigradePress(const char* path, double& temperature,
                                                    double& pressure) noexcept {
  getPair(pathText(path), kCentigrade.setting, temperature, kPressure.setting, pressure);
}
bool trasso::api::PutQZJkn_ZETR_Dst_CentigradePress(const char* path, double temperature,
                                                    double pressure) noexcept {
  return succeeded(putPairChecked(pathText(path), kCentigrade, temperature, kPressure, pressure));
}
int trasso::api::GetQZJkn_ZETR_Ang_DispMode(const char* path) noexcept {
  return getIn(pathText(path), kAngDispMode.setting);
}
bool trasso::api::PutQZJkn_ZETR_Ang_DispMode(const char* path, int mode) noexcept {
  return succeeded(putChecked(pathText(path), kAngDispMode, mode));
}
int trasso::api::GetQZJkn_ZETR_Tgt1_PsmType(const char* path) noexcept {
  return getIn(pathText(path), kPsmType);
}
bool trasso::api::PutQZJkn_ZETR_Tgt1_PsmType(const char* path, int type) noexcept {
  return succeeded(putChecked(pathText(path), kZetrPsmType, type));
}
int trasso::api::GetQZJkn_ZETR_Tgt1_PsmValue(const char* path) noexcept {
  return getIn(pathText(path), kPsmValue1.setting);
}
bool trasso::api::PutQZJkn_ZETR_Tgt1_PsmValue(const char* path, int value) noexcept {
  return succeeded(putChecked(pathText(path), kPsmValue1, value));
}
int trasso::api::GetQZJkn_ZETR_Tgt1_HowAutolock(const char* path) noexcept {
  return getIn(pathText(path), kHowAutolock.setting);
}
bool trasso::api::PutQZJkn_ZETR_Tgt1_HowAutolock(const char* path, int how) noexcept {
  return succeeded(putChecked(pathText(path), kHowAutolock, how));
}
int trasso::api::GetQZJkn_ZETR_Tgt1_ID(const char* path) noexcept {
  return getIn(pathText(path), kTargetId.setting);
}
bool trasso::api::PutQZJkn_ZETR_Tgt1_ID(const char* path, int id) noexcept {
  return succeeded(putChecked(pathText(path), kTargetId, id));
}
bool trasso::api::GetQZJkn_ZETR_Tgt1_AutoOff(const char* path) noexcept {
  return readFlag(pathText(path), kAutoOff);
}
bool trasso::api::PutQZJkn_ZETR_Tgt1_AutoOff(const char* path, bool value) noexcept {
  return succeeded(putIn(pathText(path), kAutoOff, value));
}
int trasso::api::GetQZJkn_ZETR_Tgt2_PsmValue(const char* path) noexcept {
  return getIn(pathText(path), kPsmValue2.setting);
}
bool trasso::api::PutQZJkn_ZETR_Tgt2_PsmValue(const char* path, int value) noexcept {
  return succeeded(putChecked(pathText(path), kPsmValue2, value));
}
int trasso::api::GetQZJkn_ZETR_Npr_Value(const char* path) noexcept {
  return getIn(pathText(path), kZetrNprValue.setting);
}
bool trasso::api::PutQZJkn_ZETR_Npr_Value(const char* path, int value) noexcept {
  return succeeded(putChecked(pathText(path), kZetrNprValue, value));
}
void trasso::api::GetQZJkn_ZETR_Npr_RangeValue(const char* path, int& minimum,
                                               int& maximum) noexcept {
  getPair(pathText(path), kNprMin.setting, minimum, kNprMax.setting, maximum);
}
// Each end is checked by itself: a minimum above the maximum is stored as given.
bool trasso::api::PutQZJkn_ZETR_Npr_RangeValue(const char* path, int minimum,
                                               int maximum) noexcept {
  return succeeded(putPairChecked(pathText(path), kNprMin, minimum, kNprMax, maximum));
}
int trasso::api::GetQZJkn_ZETR_Aut_Time(const char* path) noexcept {
  return getIn(pathText(path), kAutTime.setting);
}
bool trasso::api::PutQZJkn_ZETR_Aut_Time(const char* path, int time) noexcept {
  return succeeded(putChecked(pathText(path), kAutTime, time));
}
void trasso::api::GetQZJkn_ZETR_Sch_HVRangeRad(const char* path, double& horizontal,
                                               double& vertical) noexcept {
  getPair(pathText(path), zetrSearchH(), horizontal, zetrSearchV(), vertical);
}
bool trasso::api::PutQZJkn_ZETR_Sch_HVRangeRad(const char* path, double horizontal,
                                               double vertical) noexcept {
  static const double twoPi = 2.0 * _f_pi();
  return succeeded(putPairChecked(pathText(path), RangedDouble{zetrSearchH(), 0.0, twoPi},
                                  horizontal, RangedDouble{zetrSearchV(), 0.0, twoPi}, vertical));
}
int trasso::api::GetQZJkn_ZETR_Rti_Percent(const char* path) noexcept {
  return getIn(pathText(path), kRtiPercent.setting);
}
bool trasso::api::PutQZJkn_ZETR_Rti_Percent(const char* path, int percent) noexcept {
  return succeeded(putChecked(pathText(path), kRtiPercent, percent));
}
bool trasso::api::GetQZJkn_ZETR_Blt_OnOff(const char* path) noexcept {
  return readFlag(pathText(path), kBltOnOff);
}
bool trasso::api::PutQZJkn_ZETR_Blt_OnOff(const char* path, bool value) noexcept {
  return succeeded(putIn(pathText(path), kBltOnOff, value));
}
bool trasso::api::GetQZJkn_ZETR_PsmMode(const char* path) noexcept {
  return readFlag(pathText(path), kPsmMode);
}
void trasso::api::PutQZJkn_ZETR_PsmMode(const char* path, bool value) noexcept {
  putIn(pathText(path), kPsmMode, value);
}
bool trasso::api::GetQZJkn_ZETR_MsrMode(const char* path) noexcept {
  return readFlag(pathText(path), kMsrMode);
}
void trasso::api::PutQZJkn_ZETR_MsrMode(const char* path, bool value) noexcept {
  putIn(pathText(path), kMsrMode, value);
}
bool trasso::api::GetQZJkn_ZETR_AF_Alignment(const char* path) noexcept {
  return readFlag(pathText(path), kAfAlignment);
}
void trasso::api::PutQZJkn_ZETR_AF_Alignment(const char* path, bool value) noexcept {
  putIn(pathText(path), kAfAlignment, value);
}
bool trasso::api::GetQZJkn_ZETR_AF_AutoLock(const char* path) noexcept {
  return readFlag(pathText(path), kAfAutoLock);
}
void trasso::api::PutQZJkn_ZETR_AF_AutoLock(const char* path, bool value) noexcept {
  putIn(pathText(path), kAfAutoLock, value);
}
bool trasso::api::GetQZJkn_ZETR_AF_SideButton(const char* path) noexcept {
  return readFlag(pathText(path), kAfSideButton);
}
void trasso::api::PutQZJkn_ZETR_AF_SideButton(const char* path, bool value) noexcept {
  putIn(pathText(path), kAfSideButton, value);
}
void trasso::api::ClearQZJkn_ZETR_OBS(const char* path) noexcept {
  removeSection(pathText(path), kObs);
  Flush_QZJkn_ZETR_File(path);
}

// PL30 profile: the shared operations.

bool trasso::api::GetQZJkn_PL30_Dst_UseDstHosei(const char* path) noexcept {
  return GetQZJkn_ZETR_Dst_UseDstHosei(path);
}
void trasso::api::PutQZJkn_PL30_Dst_UseDstHosei(const char* path, bool value) noexcept {
  PutQZJkn_ZETR_Dst_UseDstHosei(path, value);
}
void trasso::api::GetQZJkn_PL30_Dst_CentigradePress(const char* path, double& temperature,
                                                    double& pressure) noexcept {
  GetQZJkn_ZETR_Dst_CentigradePress(path, temperature, pressure);
}
int trasso::api::GetQZJkn_PL30_Ang_DispMode(const char* path) noexcept {
  return GetQZJkn_ZETR_Ang_DispMode(path);
}
bool trasso::api::PutQZJkn_PL30_Ang_DispMode(const char* path, int mode) noexcept {
  return PutQZJkn_ZETR_Ang_DispMode(path, mode);
}
int trasso::api::GetQZJkn_PL30_Tgt_PsmType(const char* path) noexcept {
  return GetQZJkn_ZETR_Tgt1_PsmType(path);
}
int trasso::api::GetQZJkn_PL30_Tgt_PsmValue(const char* path) noexcept {
  return GetQZJkn_ZETR_Tgt1_PsmValue(path);
}
bool trasso::api::PutQZJkn_PL30_Tgt_PsmValue(const char* path, int value) noexcept {
  return PutQZJkn_ZETR_Tgt1_PsmValue(path, value);
}
int trasso::api::GetQZJkn_PL30_Tgt_PsmValue2(const char* path) noexcept {
  return GetQZJkn_ZETR_Tgt2_PsmValue(path);
}
bool trasso::api::PutQZJkn_PL30_Tgt_PsmValue2(const char* path, int value) noexcept {
  return PutQZJkn_ZETR_Tgt2_PsmValue(path, value);
}
bool trasso::api::PutQZJkn_PL30_Npr_Value(const char* path, int value) noexcept {
  return PutQZJkn_ZETR_Npr_Value(path, value);
}
int trasso::api::GetQZJkn_PL30_Aut_Time(const char* path) noexcept {
  return GetQZJkn_ZETR_Aut_Time(path);
}
bool trasso::api::PutQZJkn_PL30_Aut_Time(const char* path, int time) noexcept {
  return PutQZJkn_ZETR_Aut_Time(path, time);
}

// PL30 profile: its own operations.

// Failed writes are not reported here: values in range always give true.
bool trasso::api::PutQZJkn_PL30_Dst_CentigradePress(const char* path, double temperature,
                                                    double pressure) noexcept {
  if (!kCentigrade.accepts(temperature) || !kPressure.accepts(pressure)) {
    WriteReport::note(WriteStatus::OutOfRange);
    return false;
  }
  putPair(pathText(path), kCentigrade.setting, temperature, kPressure.setting, pressure);
  return true;
}
bool trasso::api::PutQZJkn_PL30_Tgt_PsmType(const char* path, int type) noexcept {
  return succeeded(putChecked(pathText(path), kPl30PsmType, type));
}
int trasso::api::GetQZJkn_PL30_Npr_Value(const char* path) noexcept {
  return getIn(pathText(path), kPl30NprValue);
}
bool trasso::api::GetQZJkn_PL30_Aut_LockLiveViewOff(const char* path) noexcept {
  return readFlag(pathText(path), kLockLiveViewOff);
}
void trasso::api::PutQZJkn_PL30_Aut_LockLiveViewOff(const char* path, bool value) noexcept {
  putIn(pathText(path), kLockLiveViewOff, value);
}
bool trasso::api::GetQZJkn_PL30_Sch_UseAutoSearch(const char* path) noexcept {
  return readFlag(pathText(path), kUseAutoSearch);
}
void trasso::api::PutQZJkn_PL30_Sch_UseAutoSearch(const char* path, bool value) noexcept {
  putIn(pathText(path), kUseAutoSearch, value);
}
double trasso::api::GetQZJkn_PL30_Sch_HRangeRad(const char* path) noexcept {
  return getIn(pathText(path), pl30SearchH());
}
bool trasso::api::PutQZJkn_PL30_Sch_HRangeRad(const char* path, double angle) noexcept {
  static const double pi = _f_pi();
  return putPl30SearchRange(path, pl30SearchH(), angle, pi);
}
double trasso::api::GetQZJkn_PL30_Sch_VRangeRad(const char* path) noexcept {
  return getIn(pathText(path), pl30SearchV());
}
bool trasso::api::PutQZJkn_PL30_Sch_VRangeRad(const char* path, double angle) noexcept {
  static const double pi = _f_pi();
  return putPl30SearchRange(path, pl30SearchV(), angle, pi);
}

namespace {

template <class S, class V>
Range rangeOf(const Ranged<S, V>& r) {
  return Range{static_cast<double>(r.min), static_cast<double>(r.max)};
}

// The pairs of a profile as records (the selection's path is the profile's).
template <auto Get, auto Put>
struct CentigradePress {
  using Values = std::tuple<double, double>;
  static constexpr bool kInProfile = true;
  static Values read(const Selection& s) {
    Values v;
    Get(s.path.c_str(), std::get<0>(v), std::get<1>(v));
    return v;
  }
  static void write(const Selection& s, const Values& v) {
    Put(s.path.c_str(), std::get<0>(v), std::get<1>(v));
  }
  static std::vector<RecordField> fields() {
    return {recordField("temperature", kCentigrade.setting, rangeOf(kCentigrade)),
            recordField("pressure", kPressure.setting, rangeOf(kPressure))};
  }
};
using ZetrCentigradePress = CentigradePress<&api::GetQZJkn_ZETR_Dst_CentigradePress,
                                            &api::PutQZJkn_ZETR_Dst_CentigradePress>;
using Pl30CentigradePress = CentigradePress<&api::GetQZJkn_PL30_Dst_CentigradePress,
                                            &api::PutQZJkn_PL30_Dst_CentigradePress>;

struct NprRangeRecord {
  using Values = std::tuple<int, int>;
  static constexpr bool kInProfile = true;
  static Values read(const Selection& s) {
    Values v;
    api::GetQZJkn_ZETR_Npr_RangeValue(s.path.c_str(), std::get<0>(v), std::get<1>(v));
    return v;
  }
  static void write(const Selection& s, const Values& v) {
    api::PutQZJkn_ZETR_Npr_RangeValue(s.path.c_str(), std::get<0>(v), std::get<1>(v));
  }
  static std::vector<RecordField> fields() {
    return {recordField("minimum", kNprMin.setting, rangeOf(kNprMin)),
            recordField("maximum", kNprMax.setting, rangeOf(kNprMax))};
  }
};

struct SearchRangeRecord {
  using Values = std::tuple<double, double>;
  static constexpr bool kInProfile = true;
  static Values read(const Selection& s) {
    Values v;
    api::GetQZJkn_ZETR_Sch_HVRangeRad(s.path.c_str(), std::get<0>(v), std::get<1>(v));
    return v;
  }
  static void write(const Selection& s, const Values& v) {
    api::PutQZJkn_ZETR_Sch_HVRangeRad(s.path.c_str(), std::get<0>(v), std::get<1>(v));
  }
  static std::vector<RecordField> fields() {
    const Range angle{0.0, 2.0 * _f_pi()};
    return {recordField("horizontal", zetrSearchH(), angle),
            recordField("vertical", zetrSearchV(), angle)};
  }
};

}  // namespace

namespace trasso {

RegistryPart instrumentProfileRegistry() {
  // Built on first use: the PL30 search ranges and their bound come from the
  // numeric library.
  static const SettingEntry entries[] = {
#include "InstrumentProfiles.entries.inc"
      // Read with its own default, checked against the ZETR range.
      settingEntry<&api::GetQZJkn_PL30_Npr_Value, &api::PutQZJkn_PL30_Npr_Value>(
          "PL30_Npr_Value", kPl30NprValue, std::nullopt,
          Range{static_cast<double>(kZetrNprValue.min), static_cast<double>(kZetrNprValue.max)}),
      settingEntry<&api::GetQZJkn_PL30_Sch_HRangeRad, &api::PutQZJkn_PL30_Sch_HRangeRad>(
          "PL30_Sch_HRangeRad", pl30SearchH(), std::nullopt, Range{0.0, _f_pi()}),
      settingEntry<&api::GetQZJkn_PL30_Sch_VRangeRad, &api::PutQZJkn_PL30_Sch_VRangeRad>(
          "PL30_Sch_VRangeRad", pl30SearchV(), std::nullopt, Range{0.0, _f_pi()}),
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart instrumentProfileOtherKeys() {
  static const facts::OtherKey keys[] = {
      {kCentigrade.setting.key, false, "ZETR_Dst_CentigradePress"},
      {kPressure.setting.key, false, "ZETR_Dst_CentigradePress"},
      {kNprMin.setting.key, false, "ZETR_Npr_RangeValue"},
      {kNprMax.setting.key, false, "ZETR_Npr_RangeValue"},
      {kSearchH, false, "ZETR_Sch_HVRangeRad"},
      {kSearchV, false, "ZETR_Sch_HVRangeRad"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
