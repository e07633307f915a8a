// RTK radio link: "jkn-gnss-rtk.ini", exchanged as one record per side.
#include "Setting.h"
#include "TrassoJkn.h"

using namespace trasso;

namespace {

constexpr Key rtk(const char* name, KeyChoice choice = KeyChoice::Fixed) {
  return Key{SettingsFile::JknGnssRtk, "GNSS", name, choice};
}
constexpr KeyChoice kSide = KeyChoice::Side;

constexpr IntSetting kRadio{rtk("RTKRadio"), 0};
constexpr IntSetting kHosei{rtk("RTKHosei"), 2};
constexpr IntSetting kFlowCts{rtk("RTKFlowCTS"), 1};
constexpr IntSetting kPortNo{rtk("RTKPortNo", kSide), 1};
// Read as text: an empty value gives the default, any other text its plain
// decimal number (no base prefixes), so letters give 0.
constexpr U32Setting kBaudRate{rtk("RTKBaudRate", kSide), 9600};
constexpr U8Setting kParity{rtk("RTKParity", kSide), 0};

uint32_t readBaudRate(const std::string& path, int side) {
  const std::string text =
      readText(path, kBaudRate.key.section, KeyName(kBaudRate.key, side).c_str(), "");
  return text.empty() ? kBaudRate.def : textToIntBits(text);
}

}  // namespace

void GetQZJkn_GNSS_RTKConnectProp(int side, RTK_CONNECT_PROP& prop) noexcept {
  const std::string path = SettingsFilePath(SettingsFile::JknGnssRtk);
  prop.Radio = getIn(path, kRadio);
  prop.Hosei = getIn(path, kHosei);
  prop.FlowCTS = getIn(path, kFlowCts);
  prop.PortNo = getIn(path, kPortNo, side);
  prop.BaudRate = readBaudRate(path, side);
  prop.Parity = getIn(path, kParity, side);
}

void PutQZJkn_GNSS_RTKConnectProp(int side, const RTK_CONNECT_PROP& prop) noexcept {
  // Each write stands alone: one that fails does not keep the others back.
  const std::string path = SettingsFilePath(SettingsFile::JknGnssRtk);
  putIn(path, kRadio, prop.Radio);
  putIn(path, kHosei, prop.Hosei);
  putIn(path, kFlowCts, prop.FlowCTS);
  putIn(path, kPortNo, prop.PortNo, side);
  putIn(path, kBaudRate, prop.BaudRate, side);
  putIn(path, kParity, prop.Parity, side);
}
