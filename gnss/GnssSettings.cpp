// GNSS connection and observation settings: "jkn-gnss.ini".
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"
#include "display/NumberedSetting.h"

using namespace trasso;

namespace {

constexpr Key gnss(const char* name, KeyChoice choice = KeyChoice::Fixed) {
  return Key{SettingsFile::JknGnss, "GNSS", name, choice};
}
constexpr KeyChoice kMode = KeyChoice::Mode;

constexpr IntSetting kPage{gnss("Page"), 0};
constexpr IntSetting kAutoLoad{gnss("AutoLoad"), 0};
constexpr IntSetting kAutoStart{gnss("AutoStart"), 0};
constexpr IntSetting kSetOpen{gnss("SetOpen"), 1};
constexpr IntSetting kRtkSetOpen{gnss("SetOpenRtk"), 1};
constexpr IntSetting kProtocol{gnss("Protocol"), 1104};
constexpr TextSetting kAddress{gnss("Address"), ""};
constexpr IntSetting kPortNoS{gnss("PortNoS"), 0};
constexpr TextSetting kUserId{gnss("UserID"), ""};
constexpr TextSetting kPassword{gnss("Password"), ""};
constexpr IntSetting kMountP{gnss("MountP"), 0};
constexpr TextSetting kMountPtx{gnss("MountPTX"), ""};
constexpr TextSetting kMountDef{gnss("MountDEF"), ""};
constexpr IntSetting kPortNo{gnss("PortNo", kMode), 1};
constexpr FlagSetting kConnectComm{gnss("ConnectComm", kMode), 1, FlagRead::ExactlyOne};
constexpr TextSetting kBtAddr{gnss("BTAddr", kMode), ""};
constexpr U32Setting kBtPort{gnss("BTPort", kMode), 0};
constexpr IntSetting kMaskElev{gnss("MaskElev", kMode), 15};
constexpr U16Setting kMaskSate{gnss("MaskSate", kMode), 11};
constexpr U16Setting kMaskSgnl{gnss("MaskSgnl", kMode), 3};
constexpr U16Setting kRate{gnss("Rate"), 0};
constexpr U16Setting kDispRec{gnss("DispREC"), 1};
constexpr IntSetting kDispLocus{gnss("DispLocus"), 0};
constexpr IntSetting kCntLocus{gnss("CntLocus"), 20};
constexpr IntSetting kPutMode{gnss("PutMode"), 0};
constexpr IntSetting kAfterTime{gnss("AfterTime"), 0};
constexpr IntSetting kIntvalTime{gnss("IntvalTime"), 5};
constexpr IntSetting kIntvalLeng{gnss("IntvalLeng"), 5000};
constexpr IntSetting kUnFixPut{gnss("UnFixPut"), 0};
constexpr IntSetting kEpoch{gnss("Epoch"), 1};
constexpr IntSetting kCntEpoch{gnss("CntEpoch"), 10};
constexpr IntSetting kTiltObs{gnss("TiltObs"), 0};
constexpr IntSetting kSglAfterTime{gnss("SglAfterTime"), 0};
constexpr IntSetting kRepAfterTime{gnss("RepAfterTime"), 0};
constexpr IntSetting kTiltAnnounce{gnss("TiltAnnounce"), 1};
constexpr IntSetting kTiltAllowance{gnss("TiltAllowance"), 20};
constexpr IntSetting kDeclination{gnss("Declination"), 0};
constexpr IntSetting kDeclinationH{gnss("DeclinationH"), 25};
constexpr IntSetting kDeclinationV{gnss("DeclinationV"), 40};
constexpr IntSetting kBubbleSens{gnss("BubbleSens"), 40};
constexpr FlagSetting kImuObs{gnss("ImuObs"), 0};
constexpr IntSetting kImuRepAfterTime{gnss("ImuRepAfterTime"), 0};
constexpr IntSetting kInitPdop{gnss("InitPDOP"), 7};
constexpr IntSetting kUseSatCnt{gnss("UseSatCnt"), 7};
constexpr FlagSetting kUseInitMode{gnss("UseInitMode"), 0};
constexpr FlagSetting kUseConfirm{gnss("UseConfirm"), 0};

// Sky plot columns: the key is the column number, the default the caller's.
// One key per column number; the caller gives the default, so the declared one
// is what the registry reads when none is given.
constexpr IntSetting kSkyPlotColumn{{SettingsFile::JknGnss, "SKYPLOT", ""}, 0};

}  // namespace

int trasso::api::GetQZJkn_GNSS_Page() noexcept { return get(kPage); }
void trasso::api::PutQZJkn_GNSS_Page(int value) noexcept { put(kPage, value); }
int trasso::api::GetQZJkn_GNSS_AutoLoad() noexcept { return get(kAutoLoad); }
void trasso::api::PutQZJkn_GNSS_AutoLoad(int value) noexcept { put(kAutoLoad, value); }
int trasso::api::GetQZJkn_GNSS_AutoStart() noexcept { return get(kAutoStart); }
void trasso::api::PutQZJkn_GNSS_AutoStart(int value) noexcept { put(kAutoStart, value); }
int trasso::api::GetQZJkn_GNSS_SetOpen() noexcept { return get(kSetOpen); }
void trasso::api::PutQZJkn_GNSS_SetOpen(int value) noexcept { put(kSetOpen, value); }
int trasso::api::GetQZJkn_GNSS_RTK_SetOpen() noexcept { return get(kRtkSetOpen); }
void trasso::api::PutQZJkn_GNSS_RTK_SetOpen(int value) noexcept { put(kRtkSetOpen, value); }
int trasso::api::GetQZJkn_GNSS_NTripP() noexcept { return get(kProtocol); }
void trasso::api::PutQZJkn_GNSS_NTripP(int value) noexcept { put(kProtocol, value); }
std::string trasso::api::GetQZJkn_GNSS_Address() noexcept { return get(kAddress); }
void trasso::api::PutQZJkn_GNSS_Address(const char* text) noexcept { put(kAddress, text); }
int trasso::api::GetQZJkn_GNSS_PortNoS() noexcept { return get(kPortNoS); }
void trasso::api::PutQZJkn_GNSS_PortNoS(int value) noexcept { put(kPortNoS, value); }
std::string trasso::api::GetQZJkn_GNSS_UserID() noexcept { return get(kUserId); }
void trasso::api::PutQZJkn_GNSS_UserID(const char* text) noexcept { put(kUserId, text); }
std::string trasso::api::GetQZJkn_GNSS_Password() noexcept { return get(kPassword); }
void trasso::api::PutQZJkn_GNSS_Password(const char* text) noexcept { put(kPassword, text); }
int trasso::api::GetQZJkn_GNSS_MountP() noexcept { return get(kMountP); }
void trasso::api::PutQZJkn_GNSS_MountP(int value) noexcept { put(kMountP, value); }
std::string trasso::api::GetQZJkn_GNSS_MountPTX() noexcept { return get(kMountPtx); }
void trasso::api::PutQZJkn_GNSS_MountPTX(const char* text) noexcept { put(kMountPtx, text); }
std::string trasso::api::GetQZJkn_GNSS_MountDEF() noexcept { return get(kMountDef); }
void trasso::api::PutQZJkn_GNSS_MountDEF(const char* text) noexcept { put(kMountDef, text); }
int trasso::api::GetQZJkn_GNSS_PortNo(int mode) noexcept { return get(kPortNo, mode); }
void trasso::api::PutQZJkn_GNSS_PortNo(int mode, int value) noexcept { put(kPortNo, value, mode); }
int trasso::api::GetQZJkn_GNSS_COMM_or_BT(int mode) noexcept { return get(kConnectComm, mode); }
void trasso::api::PutQZJkn_GNSS_COMM_or_BT(int mode, int value) noexcept {
  put(kConnectComm, value, mode);
}
std::string trasso::api::GetQZJkn_GNSS_BTAddr(int mode) noexcept { return get(kBtAddr, mode); }
void trasso::api::PutQZJkn_GNSS_BTAddr(int mode, const char* text) noexcept {
  put(kBtAddr, text, mode);
}
uint32_t trasso::api::GetQZJkn_GNSS_BtPort(int mode) noexcept { return get(kBtPort, mode); }
void trasso::api::PutQZJkn_GNSS_BtPort(int mode, uint32_t value) noexcept {
  put(kBtPort, value, mode);
}
int trasso::api::GetQZJkn_GNSS_MaskElev(int mode) noexcept { return get(kMaskElev, mode); }
void trasso::api::PutQZJkn_GNSS_MaskElev(int mode, int value) noexcept {
  put(kMaskElev, value, mode);
}
uint16_t trasso::api::GetQZJkn_GNSS_MaskSate(int mode) noexcept { return get(kMaskSate, mode); }
void trasso::api::PutQZJkn_GNSS_MaskSate(int mode, uint16_t value) noexcept {
  put(kMaskSate, value, mode);
}
uint16_t trasso::api::GetQZJkn_GNSS_MaskSgnl(int mode) noexcept { return get(kMaskSgnl, mode); }
void trasso::api::PutQZJkn_GNSS_MaskSgnl(int mode, uint16_t value) noexcept {
  put(kMaskSgnl, value, mode);
}
uint16_t trasso::api::GetQZJkn_GNSS_Rate() noexcept { return get(kRate); }
void trasso::api::PutQZJkn_GNSS_Rate(uint16_t value) noexcept { put(kRate, value); }
uint16_t trasso::api::GetQZJkn_GNSS_DispREC() noexcept { return get(kDispRec); }
void trasso::api::PutQZJkn_GNSS_DispREC(uint16_t value) noexcept { put(kDispRec, value); }
int trasso::api::GetQZJkn_GNSS_DispLocus() noexcept { return get(kDispLocus); }
void trasso::api::PutQZJkn_GNSS_DispLocus(int value) noexcept { put(kDispLocus, value); }
int trasso::api::GetQZJkn_GNSS_CntLocus() noexcept { return get(kCntLocus); }
void trasso::api::PutQZJkn_GNSS_CntLocus(int value) noexcept { put(kCntLocus, value); }
int trasso::api::GetQZJkn_GNSS_PutMode() noexcept { return get(kPutMode); }
void trasso::api::PutQZJkn_GNSS_PutMode(int value) noexcept { put(kPutMode, value); }
int trasso::api::GetQZJkn_GNSS_AfterTime() noexcept { return get(kAfterTime); }
void trasso::api::PutQZJkn_GNSS_AfterTime(int value) noexcept { put(kAfterTime, value); }
int trasso::api::GetQZJkn_GNSS_IntvalTime() noexcept { return get(kIntvalTime); }
void trasso::api::PutQZJkn_GNSS_IntvalTime(int value) noexcept { put(kIntvalTime, value); }
int trasso::api::GetQZJkn_GNSS_IntvalLeng() noexcept { return get(kIntvalLeng); }
void trasso::api::PutQZJkn_GNSS_IntvalLeng(int value) noexcept { put(kIntvalLeng, value); }
int trasso::api::GetQZJkn_GNSS_UnFixPut() noexcept { return get(kUnFixPut); }
void trasso::api::PutQZJkn_GNSS_UnFixPut(int value) noexcept { put(kUnFixPut, value); }
int trasso::api::GetQZJkn_GNSS_Epoch() noexcept { return get(kEpoch); }
void trasso::api::PutQZJkn_GNSS_Epoch(int value) noexcept { put(kEpoch, value); }
int trasso::api::GetQZJkn_GNSS_CntEpoch() noexcept { return get(kCntEpoch); }
void trasso::api::PutQZJkn_GNSS_CntEpoch(int value) noexcept { put(kCntEpoch, value); }
int trasso::api::GetQZJkn_GNSS_TiltObs() noexcept { return get(kTiltObs); }
void trasso::api::PutQZJkn_GNSS_TiltObs(int value) noexcept { put(kTiltObs, value); }
int trasso::api::GetQZJkn_GNSS_TiltSingleTime() noexcept { return get(kSglAfterTime); }
void trasso::api::PutQZJkn_GNSS_TiltSingleTime(int value) noexcept { put(kSglAfterTime, value); }
int trasso::api::GetQZJkn_GNSS_TiltRepeatTime() noexcept { return get(kRepAfterTime); }
void trasso::api::PutQZJkn_GNSS_TiltRepeatTime(int value) noexcept { put(kRepAfterTime, value); }
int trasso::api::GetQZJkn_GNSS_TiltAnnounce() noexcept { return get(kTiltAnnounce); }
void trasso::api::PutQZJkn_GNSS_TiltAnnounce(int value) noexcept { put(kTiltAnnounce, value); }
int trasso::api::GetQZJkn_GNSS_TiltAllowance() noexcept { return get(kTiltAllowance); }
void trasso::api::PutQZJkn_GNSS_TiltAllowance(int value) noexcept { put(kTiltAllowance, value); }
int trasso::api::GetQZJkn_GNSS_Declination() noexcept { return get(kDeclination); }
void trasso::api::PutQZJkn_GNSS_Declination(int value) noexcept { put(kDeclination, value); }
int trasso::api::GetQZJkn_GNSS_DeclinationH() noexcept { return get(kDeclinationH); }
void trasso::api::PutQZJkn_GNSS_DeclinationH(int value) noexcept { put(kDeclinationH, value); }
int trasso::api::GetQZJkn_GNSS_DeclinationV() noexcept { return get(kDeclinationV); }
void trasso::api::PutQZJkn_GNSS_DeclinationV(int value) noexcept { put(kDeclinationV, value); }
int trasso::api::GetQZJkn_GNSS_BubbleSensMinPer2mm() noexcept { return get(kBubbleSens); }
void trasso::api::PutQZJkn_GNSS_BubbleSensMinPer2mm(int value) noexcept { put(kBubbleSens, value); }
int trasso::api::GetQZJkn_GNSS_ImuObs() noexcept { return get(kImuObs); }
void trasso::api::PutQZJkn_GNSS_ImuObs(int value) noexcept { put(kImuObs, value); }
int trasso::api::GetQZJkn_GNSS_ImuRepeatTime() noexcept { return get(kImuRepAfterTime); }
void trasso::api::PutQZJkn_GNSS_ImuRepeatTime(int value) noexcept { put(kImuRepAfterTime, value); }
int trasso::api::GetQZJkn_GNSS_Init_Pdop() noexcept { return get(kInitPdop); }
void trasso::api::PutQZJkn_GNSS_Init_Pdop(int value) noexcept { put(kInitPdop, value); }
int trasso::api::GetQZJkn_GNSS_Init_UseSatCnt() noexcept { return get(kUseSatCnt); }
void trasso::api::PutQZJkn_GNSS_Init_UseSatCnt(int value) noexcept { put(kUseSatCnt, value); }
int trasso::api::GetQZJkn_GNSS_Init_UseInitMode() noexcept { return get(kUseInitMode); }
void trasso::api::PutQZJkn_GNSS_Init_UseInitMode(int value) noexcept { put(kUseInitMode, value); }
int trasso::api::GetQZJkn_GNSS_Init_UseConfirm() noexcept { return get(kUseConfirm); }
void trasso::api::PutQZJkn_GNSS_Init_UseConfirm(int value) noexcept { put(kUseConfirm, value); }

int trasso::api::GetQZJkn_GNSS_SkyPlotLClm(int column, int def) noexcept {
  return getNumbered(IntSetting{kSkyPlotColumn.key, def}, column);
}

void trasso::api::PutQZJkn_GNSS_SkyPlotLClm(int column, int value) noexcept {
  putNumbered(kSkyPlotColumn, column, value);
}

namespace trasso {

RegistryPart gnssRegistry() {
  static const SettingEntry entries[] = {
#include "GnssSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart gnssOtherKeys() {
  static const facts::OtherKey keys[] = {{kSkyPlotColumn.key, true, "GNSS_SkyPlotLClm"}};
  return {keys, std::size(keys)};
}

}  // namespace trasso
