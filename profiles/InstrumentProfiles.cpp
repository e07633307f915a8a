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

#include "generated/profiles/InstrumentProfiles.settings.inc"

namespace {

constexpr Key zetr(const char* section, const char* name) {
  return Key{SettingsFile::JknZetr, section, name};
}
constexpr Key pl30(const char* section, const char* name) {
  return Key{SettingsFile::JknPl30, section, name};
}

constexpr const char* kObs = "OBS";

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

void trasso::api::GetQZJkn_ZETR_Dst_CentigradePress(const char* path, double& temperature,
                                                    double& pressure) noexcept {
  getPair(pathText(path), kCentigrade.setting, temperature, kPressure.setting, pressure);
}
bool trasso::api::PutQZJkn_ZETR_Dst_CentigradePress(const char* path, double temperature,
                                                    double pressure) noexcept {
  return succeeded(putPairChecked(pathText(path), kCentigrade, temperature, kPressure, pressure));
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
int trasso::api::GetQZJkn_PL30_Npr_Value(const char* path) noexcept {
  return getIn(pathText(path), kPl30NprValue);
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

RegistryPart registryOfInstrumentProfiles() {
  // Built on first use: the PL30 search ranges and their bound come from the
  // numeric library.
  static const SettingEntry entries[] = {
#include "generated/profiles/InstrumentProfiles.entries.inc"
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

facts::OtherKeyPart otherKeysOfInstrumentProfiles() {
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
