// Prints the GNSS settings with their current values (defaults where unset).
#include <cstdio>
#include <string>

#include "TrassoJkn.h"

namespace {

void show(const char* name, long long value) { std::printf("%-32s %lld\n", name, value); }
void show(const char* name, const std::string& value) {
  std::printf("%-32s \"%s\"\n", name, value.c_str());
}

}  // namespace

int main() {
  std::printf("Settings file: %sjkn-gnss.ini\n\n", GetQZInf_Path(0).c_str());
  show("Page", GetQZJkn_GNSS_Page());
  show("AutoLoad", GetQZJkn_GNSS_AutoLoad());
  show("AutoStart", GetQZJkn_GNSS_AutoStart());
  show("SetOpen", GetQZJkn_GNSS_SetOpen());
  show("SetOpenRtk", GetQZJkn_GNSS_RTK_SetOpen());
  show("Protocol", GetQZJkn_GNSS_NTripP());
  show("Address", GetQZJkn_GNSS_Address());
  show("PortNoS", GetQZJkn_GNSS_PortNoS());
  show("UserID", GetQZJkn_GNSS_UserID());
  show("MountP", GetQZJkn_GNSS_MountP());
  show("MountPTX", GetQZJkn_GNSS_MountPTX());
  show("MountDEF", GetQZJkn_GNSS_MountDEF());
  for (int mode = 0; mode < 2; ++mode) {
    const std::string suffix = mode ? "_Svy" : "";
    show(("PortNo" + suffix).c_str(), GetQZJkn_GNSS_PortNo(mode));
    show(("ConnectComm" + suffix).c_str(), GetQZJkn_GNSS_COMM_or_BT(mode));
    show(("BTAddr" + suffix).c_str(), GetQZJkn_GNSS_BTAddr(mode));
    show(("BTPort" + suffix).c_str(), GetQZJkn_GNSS_BtPort(mode));
    show(("MaskElev" + suffix).c_str(), GetQZJkn_GNSS_MaskElev(mode));
    show(("MaskSate" + suffix).c_str(), GetQZJkn_GNSS_MaskSate(mode));
    show(("MaskSgnl" + suffix).c_str(), GetQZJkn_GNSS_MaskSgnl(mode));
  }
  show("Rate", GetQZJkn_GNSS_Rate());
  show("DispREC", GetQZJkn_GNSS_DispREC());
  show("DispLocus", GetQZJkn_GNSS_DispLocus());
  show("CntLocus", GetQZJkn_GNSS_CntLocus());
  show("PutMode", GetQZJkn_GNSS_PutMode());
  show("AfterTime", GetQZJkn_GNSS_AfterTime());
  show("IntvalTime", GetQZJkn_GNSS_IntvalTime());
  show("IntvalLeng", GetQZJkn_GNSS_IntvalLeng());
  show("UnFixPut", GetQZJkn_GNSS_UnFixPut());
  show("Epoch", GetQZJkn_GNSS_Epoch());
  show("CntEpoch", GetQZJkn_GNSS_CntEpoch());
  show("TiltObs", GetQZJkn_GNSS_TiltObs());
  show("SglAfterTime", GetQZJkn_GNSS_TiltSingleTime());
  show("RepAfterTime", GetQZJkn_GNSS_TiltRepeatTime());
  show("TiltAnnounce", GetQZJkn_GNSS_TiltAnnounce());
  show("TiltAllowance", GetQZJkn_GNSS_TiltAllowance());
  show("Declination", GetQZJkn_GNSS_Declination());
  show("DeclinationH", GetQZJkn_GNSS_DeclinationH());
  show("DeclinationV", GetQZJkn_GNSS_DeclinationV());
  show("BubbleSens", GetQZJkn_GNSS_BubbleSensMinPer2mm());
  show("ImuObs", GetQZJkn_GNSS_ImuObs());
  show("ImuRepAfterTime", GetQZJkn_GNSS_ImuRepeatTime());
  show("InitPDOP", GetQZJkn_GNSS_Init_Pdop());
  show("UseSatCnt", GetQZJkn_GNSS_Init_UseSatCnt());
  show("UseInitMode", GetQZJkn_GNSS_Init_UseInitMode());
  show("UseConfirm", GetQZJkn_GNSS_Init_UseConfirm());
  return 0;
}
