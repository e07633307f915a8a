// Total-station connection and measurement options ("jkn-ts.ini" and
// "def-ts.ini", section "TS") and the automatic loading of the last set-up.
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"
#include "profiles/ProfileSetting.h"

using namespace trasso;

namespace {

constexpr Key ts(const char* name) { return Key{SettingsFile::JknTs, "TS", name}; }
constexpr Key defTs(const char* name) { return Key{SettingsFile::DefTs, "TS", name}; }

constexpr FlagSetting kVKubun{ts("VKubun"), 1, FlagRead::Stored};
constexpr IntSetting kPort{ts("Port"), 1};
constexpr IntSetting kSetOpen{ts("SetOpen"), 0};
constexpr IntSetting kAnglinLen{ts("AnglinLen"), 100};
constexpr FlagSetting kConnectComm{ts("ConnectComm"), 1, FlagRead::ExactlyOne};
constexpr FlagSetting kUseScale{ts("UseScale"), 0};
constexpr DoubleSetting kUseScaleValue{ts("UseScaleValue"), 1.0, 6, 32};
constexpr FlagSetting kUseTouei{ts("UseTouei"), 0};
constexpr DoubleSetting kUseToueiValue{ts("UseToueiValue"), 0.0, 3, 32};
constexpr FlagSetting kTurnVAngFix{ts("TurnVAngFix"), 0};
constexpr TextSetting kBtDevAddr{defTs("BtDevAddr"), "", 32};
constexpr FlagSetting kZetrUseBtRadio{defTs("ZETR_UseBtRadio"), 0};
constexpr IntSetting kZetrBtRadioCh{defTs("ZETR_BtRadioCh"), 1};
constexpr IntSetting kZetrBtRadioNw{defTs("ZETR_BtRadioNw"), 1};

// Automatic loading. 1e-16 in "AutoLoadKH" means no value: it is what a missing
// or empty key reads as, and it is stored as an empty key.
constexpr double kNoValue = 1e-16;
constexpr IntSetting kAutoLoad{ts("AutoLoad"), 0};
constexpr U32Setting kAutoLoadKno{ts("AutoLoadKno"), 0};
constexpr U32Setting kAutoLoadBno{ts("AutoLoadBno"), 0};
constexpr DoubleSetting kAutoLoadKh{ts("AutoLoadKH"), kNoValue, 3, 32};
constexpr IntSetting kAutoLoadObsPane{ts("AutoLoadObsPane"), 99};

// What TS_Dsp_StartupJkn reaches: the ZETR profile's "DSP"/"STJ" at its
// standard place.
constexpr FlagSetting kStartupJknAtZetr{Key{SettingsFile::JknZetr, "DSP", "STJ"}, 1};

constexpr const char* kAutoLoadResets =
    "AutoLoadKno=0, AutoLoadBno=0, AutoLoadKH= (empty: no value) and AutoLoadObsPane=99, "
    "whatever the value: switching automatic loading on or off forgets the stored set-up";

bool getFlag(const FlagSetting& s) { return get(s) != 0; }

void stageAutoLoadKh(FileEdit& edit, double kh) {
  constexpr TextSetting kEmptied{kAutoLoadKh.key, ""};
  if (kh == kNoValue) {
    stage(edit, kEmptied, "");
  } else {
    stage(edit, kAutoLoadKh, kh);
  }
}

}  // namespace

int trasso::api::GetQZJkn_TS_VKubun() noexcept { return get(kVKubun); }
void trasso::api::PutQZJkn_TS_VKubun(int value) noexcept { put(kVKubun, value); }
int trasso::api::GetQZJkn_TS_Port() noexcept { return get(kPort); }
void trasso::api::PutQZJkn_TS_Port(int value) noexcept { put(kPort, value); }
int trasso::api::GetQZJkn_TS_SetOpen() noexcept { return get(kSetOpen); }
void trasso::api::PutQZJkn_TS_SetOpen(int value) noexcept { put(kSetOpen, value); }
int trasso::api::GetQZJkn_TS_AnglinLen() noexcept { return get(kAnglinLen); }
void trasso::api::PutQZJkn_TS_AnglinLen(int value) noexcept { put(kAnglinLen, value); }
int trasso::api::GetQZJkn_TS_COMM_or_BT() noexcept { return get(kConnectComm); }
void trasso::api::PutQZJkn_TS_COMM_or_BT(int value) noexcept { put(kConnectComm, value); }
bool trasso::api::GetQZJkn_TS_UseScale() noexcept { return getFlag(kUseScale); }
void trasso::api::PutQZJkn_TS_UseScale(bool value) noexcept { put(kUseScale, value); }
double trasso::api::GetQZJkn_TS_UseScaleValue() noexcept { return get(kUseScaleValue); }
void trasso::api::PutQZJkn_TS_UseScaleValue(double value) noexcept { put(kUseScaleValue, value); }
bool trasso::api::GetQZJkn_TS_UseTouei() noexcept { return getFlag(kUseTouei); }
void trasso::api::PutQZJkn_TS_UseTouei(bool value) noexcept { put(kUseTouei, value); }
double trasso::api::GetQZJkn_TS_UseToueiValue() noexcept { return get(kUseToueiValue); }
void trasso::api::PutQZJkn_TS_UseToueiValue(double value) noexcept { put(kUseToueiValue, value); }
bool trasso::api::GetQZJkn_TS_TurnVAngFix() noexcept { return getFlag(kTurnVAngFix); }
void trasso::api::PutQZJkn_TS_TurnVAngFix(bool value) noexcept { put(kTurnVAngFix, value); }
std::string trasso::api::GetQZJkn_TS_BtDevAddr() noexcept { return get(kBtDevAddr); }
void trasso::api::PutQZJkn_TS_BtDevAddr(const char* text) noexcept { put(kBtDevAddr, text); }

void trasso::api::GetQZJkn_TS_ZETRBtRadio(bool& use, int& channel, int& network) noexcept {
  readTogether(SettingsFile::DefTs, [&](const SettingsReader& file) {
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

RegistryPart tsRegistry() {
  static const SettingEntry entries[] = {
#include "TsSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart tsOtherKeys() {
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
