// Total-station connection and measurement options ("jkn-ts.ini" and
// "def-ts.ini", section "TS") and the automatic loading of the last set-up.
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"
#include "profiles/ProfileSetting.h"

using namespace trasso;

#include "generated/ts/TsSettings.settings.inc"

namespace {

// Automatic loading. The default of "AutoLoadKH" means no value: it is what a
// missing or empty key reads as, and it is stored as an empty key.
constexpr double kNoValue = kAutoLoadKh.def;

constexpr const char* kAutoLoadResets =
    "AutoLoadKno=0, AutoLoadBno=0, AutoLoadKH= (empty: no value) and AutoLoadObsPane=99, "
    "whatever the value: switching automatic loading on or off forgets the stored set-up";

void stageAutoLoadKh(FileEdit& edit, double kh) {
  constexpr TextSetting kEmptied{kAutoLoadKh.key, ""};
  if (kh == kNoValue) {
    stage(edit, kEmptied, "");
  } else {
    stage(edit, kAutoLoadKh, kh);
  }
}

}  // namespace

void trasso::api::GetQZJkn_TS_ZETRBtRadio(bool& use, int& channel, int& network) noexcept {
  readTogether(SettingsFile::DefTs, [&](const SettingsReader& file) {
    findTogether(file, 0, kZetrUseBtRadio, kZetrBtRadioCh, kZetrBtRadioNw);
    use = getFrom(file, kZetrUseBtRadio) != 0;
    channel = getFrom(file, kZetrBtRadioCh);
    network = getFrom(file, kZetrBtRadioNw);
  });
}
void trasso::api::PutQZJkn_TS_ZETRBtRadio(bool use, int channel, int network) noexcept {
  writeTogether(SettingsFile::DefTs, [&](FileEdit& edit) {
    stage(edit, kZetrUseBtRadio, use);
    stage(edit, kZetrBtRadioCh, channel);
    stage(edit, kZetrBtRadioNw, network);
  });
}

// Kept in the ZETR profile at its default place, not in "jkn-ts.ini".
bool trasso::api::GetQZJkn_TS_Dsp_StartupJkn() noexcept {
  return GetQZJkn_ZETR_Dsp_StartupJkn(GetQZJkn_ZETR_Path().c_str());
}
void trasso::api::PutQZJkn_TS_Dsp_StartupJkn(bool value) noexcept {
  PutQZJkn_ZETR_Dsp_StartupJkn(GetQZJkn_ZETR_Path().c_str(), value);
}

int trasso::api::GetQZJkn_TS_AutoLoad() noexcept { return get(kAutoLoad); }

// Switching automatic loading on or off forgets the stored set-up.
void trasso::api::PutQZJkn_TS_AutoLoad(int value) noexcept {
  PutQZJkn_TS_AutoLoad_Ex(value, 0, 0, kNoValue, kAutoLoadObsPane.def);
}

int trasso::api::GetQZJkn_TS_AutoLoad_Ex(uint32_t* kno, uint32_t* bno, double* kh,
                                         int* pane) noexcept {
  int on = kAutoLoad.def;
  readTogether(SettingsFile::JknTs, [&](const SettingsReader& file) {
    findTogether(file, 0, kAutoLoad, kAutoLoadKno, kAutoLoadBno, kAutoLoadKh, kAutoLoadObsPane);
    if (kno != nullptr) *kno = getFrom(file, kAutoLoadKno);
    if (bno != nullptr) *bno = getFrom(file, kAutoLoadBno);
    if (kh != nullptr) *kh = getFrom(file, kAutoLoadKh);
    if (pane != nullptr) *pane = getFrom(file, kAutoLoadObsPane);
    on = getFrom(file, kAutoLoad);
  });
  return on != 0 ? 1 : 0;
}

void trasso::api::PutQZJkn_TS_AutoLoad_Ex(int on, uint32_t kno, uint32_t bno, double kh,
                                          int pane) noexcept {
  writeTogether(SettingsFile::JknTs, [&](FileEdit& edit) {
    stage(edit, kAutoLoad, on);
    stage(edit, kAutoLoadKno, kno);
    stage(edit, kAutoLoadBno, bno);
    stageAutoLoadKh(edit, kh);
    stage(edit, kAutoLoadObsPane, pane);
  });
}

namespace {

// The ZETR Bluetooth radio as one record: use, channel, network.
struct ZetrBtRadioRecord {
  using Values = std::tuple<bool, int, int>;
  static constexpr bool kInProfile = false;
  static Values read(const Selection&) {
    Values v;
    api::GetQZJkn_TS_ZETRBtRadio(std::get<0>(v), std::get<1>(v), std::get<2>(v));
    return v;
  }
  static void write(const Selection&, const Values& v) {
    api::PutQZJkn_TS_ZETRBtRadio(std::get<0>(v), std::get<1>(v), std::get<2>(v));
  }
  static std::vector<RecordField> fields() {
    return {recordField("use", kZetrUseBtRadio), recordField("channel", kZetrBtRadioCh),
            recordField("network", kZetrBtRadioNw)};
  }
};

// The automatic-loading set-up: on, kno, bno, kh, pane. The record getter says
// only whether "AutoLoad" is non-zero; its value comes from the plain getter,
// so that writing another field keeps it as stored.
struct AutoLoadRecord {
  using Values = std::tuple<int, uint32_t, uint32_t, double, int>;
  static constexpr bool kInProfile = false;
  static Values read(const Selection&) {
    Values v;
    api::GetQZJkn_TS_AutoLoad_Ex(&std::get<1>(v), &std::get<2>(v), &std::get<3>(v),
                                 &std::get<4>(v));
    std::get<0>(v) = api::GetQZJkn_TS_AutoLoad();
    return v;
  }
  static void write(const Selection&, const Values& v) {
    std::apply(api::PutQZJkn_TS_AutoLoad_Ex, v);
  }
  static std::vector<RecordField> fields() {
    Declaration kh = declare(kAutoLoadKh);
    kh.emptyForDefault = true;
    return {recordField("on", kAutoLoad), recordField("kno", kAutoLoadKno),
            recordField("bno", kAutoLoadBno), recordField("kh", kh),
            recordField("pane", kAutoLoadObsPane)};
  }
};

}  // namespace

namespace trasso {

RegistryPart registryOfTsSettings() {
  static const SettingEntry entries[] = {
#include "generated/ts/TsSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart otherKeysOfTsSettings() {
  static const facts::OtherKey keys[] = {
      {kZetrUseBtRadio.key, false, "TS_ZETRBtRadio"},
      {kZetrBtRadioCh.key, false, "TS_ZETRBtRadio"},
      {kZetrBtRadioNw.key, false, "TS_ZETRBtRadio"},
      {kAutoLoad.key, false, "TS_AutoLoad_Ex"},
      {kAutoLoadKno.key, false, "TS_AutoLoad_Ex"},
      {kAutoLoadBno.key, false, "TS_AutoLoad_Ex"},
      {kAutoLoadKh.key, false, "TS_AutoLoad_Ex"},
      {kAutoLoadObsPane.key, false, "TS_AutoLoad_Ex"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
