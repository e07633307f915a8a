// RTK radio link: "jkn-gnss-rtk.ini", exchanged as one record per side.
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"

using namespace trasso;

#include "generated/gnss/RtkRadio.settings.inc"

namespace {

// Read as text: an empty value gives the default, any other text its plain
// decimal number (no base prefixes), so letters give 0.
uint32_t readBaudRate(const SettingsReader& file, int side) {
  const std::string text =
      file.text(kBaudRate.key.section, KeyName(kBaudRate.key, side).c_str(), "");
  return text.empty() ? kBaudRate.def : textToIntBits(text);
}

}  // namespace

// The six fields come from one read of the file and go to it in one update,
// so that no reader or crash ever sees half of one record and half of another.
void trasso::api::GetQZJkn_GNSS_RTKConnectProp(int side, RTK_CONNECT_PROP& prop) noexcept {
  readTogether(SettingsFile::JknGnssRtk, [&](const SettingsReader& file) {
    findTogether(file, side, kRadio, kHosei, kFlowCts, kPortNo, kBaudRate, kParity);
    prop.Radio = getFrom(file, kRadio);
    prop.Hosei = getFrom(file, kHosei);
    prop.FlowCTS = getFrom(file, kFlowCts);
    prop.PortNo = getFrom(file, kPortNo, side);
    prop.BaudRate = readBaudRate(file, side);
    prop.Parity = getFrom(file, kParity, side);
  });
}

void trasso::api::PutQZJkn_GNSS_RTKConnectProp(int side, const RTK_CONNECT_PROP& prop) noexcept {
  writeTogether(SettingsFile::JknGnssRtk, [&](FileEdit& edit) {
    stage(edit, kRadio, prop.Radio);
    stage(edit, kHosei, prop.Hosei);
    stage(edit, kFlowCts, prop.FlowCTS);
    stage(edit, kPortNo, prop.PortNo, side);
    stage(edit, kBaudRate, prop.BaudRate, side);
    stage(edit, kParity, prop.Parity, side);
  });
}

namespace {

// One side's record (the selection's number is the side), field by field.
struct RtkRecord {
  using Values = std::tuple<int, int, int, int, uint32_t, uint8_t>;
  static constexpr bool kInProfile = false;
  static Values read(const Selection& s) {
    RTK_CONNECT_PROP p;
    api::GetQZJkn_GNSS_RTKConnectProp(s.number, p);
    return {p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity};
  }
  static void write(const Selection& s, const Values& v) {
    RTK_CONNECT_PROP p;
    std::tie(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity) = v;
    api::PutQZJkn_GNSS_RTKConnectProp(s.number, p);
  }
  static std::vector<RecordField> fields() {
    return {recordField("Radio", kRadio),       recordField("Hosei", kHosei),
            recordField("FlowCTS", kFlowCts),   recordField("PortNo", kPortNo),
            recordField("BaudRate", kBaudRate), recordField("Parity", kParity)};
  }
};

}  // namespace

namespace trasso {

RegistryPart registryOfRtkRadio() {
  static const SettingEntry entries[] = {
#include "generated/gnss/RtkRadio.entries.inc"
  };
  return {entries, std::size(entries)};
}

facts::OtherKeyPart otherKeysOfRtkRadio() {
  static const facts::OtherKey keys[] = {
      {kRadio.key, false, "GNSS_RTKConnectProp"},    {kHosei.key, false, "GNSS_RTKConnectProp"},
      {kFlowCts.key, false, "GNSS_RTKConnectProp"},  {kPortNo.key, false, "GNSS_RTKConnectProp"},
      {kBaudRate.key, false, "GNSS_RTKConnectProp"}, {kParity.key, false, "GNSS_RTKConnectProp"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
