// NMEA connection settings: "jkn-nmea.ini".
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"

using namespace trasso;

#include "generated/nmea/NmeaSettings.settings.inc"

// Stored as a signed decimal; the getter hands back all 32 bits unsigned.
uint32_t trasso::api::GetQZJkn_NMEA_Interval() noexcept {
  return static_cast<uint32_t>(get(kInterval));
}
void trasso::api::PutQZJkn_NMEA_Interval(uint32_t value) noexcept {
  put(kInterval, static_cast<int32_t>(value));
}

void trasso::api::GetQZJkn_NMEA_BtInfo(std::string& address, uint32_t& port) noexcept {
  readTogether(SettingsFile::JknNmea, [&](const SettingsReader& file) {
    findTogether(file, 0, kBtAddr, kBtPort);
    address = getFrom(file, kBtAddr);
    port = getFrom(file, kBtPort);
  });
}

// One update; an address that cannot be stored still lets the port be written.
void trasso::api::PutQZJkn_NMEA_BtInfo(const char* address, uint32_t port) noexcept {
  writeTogether(SettingsFile::JknNmea, [&](FileEdit& edit) {
    stage(edit, kBtAddr, address);
    stage(edit, kBtPort, port);
  });
}

namespace {

// The Bluetooth partner as one record: address, then port.
struct BtInfoRecord {
  using Values = std::tuple<std::string, uint32_t>;
  static constexpr bool kInProfile = false;
  static Values read(const Selection&) {
    Values v;
    api::GetQZJkn_NMEA_BtInfo(std::get<0>(v), std::get<1>(v));
    return v;
  }
  static void write(const Selection&, const Values& v) {
    api::PutQZJkn_NMEA_BtInfo(std::get<0>(v).c_str(), std::get<1>(v));
  }
  static std::vector<RecordField> fields() {
    return {recordField("address", kBtAddr), recordField("port", kBtPort)};
  }
};

}  // namespace

namespace trasso {

RegistryPart registryOfNmeaSettings() {
  static const SettingEntry entries[] = {
#include "generated/nmea/NmeaSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart otherKeysOfNmeaSettings() {
  static const facts::OtherKey keys[] = {
      {kBtAddr.key, false, "NMEA_BtInfo"},
      {kBtPort.key, false, "NMEA_BtInfo"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
