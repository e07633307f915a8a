// NMEA connection settings: "jkn-nmea.ini".
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"

using namespace trasso;

namespace {

constexpr Key nmea(const char* name) { return Key{SettingsFile::JknNmea, "NMEA", name}; }

constexpr IntSetting kPort{nmea("Port"), 1};
constexpr U32Setting kBaudRate{nmea("BaudRate"), 19200};
constexpr U8Setting kParity{nmea("Parity"), 0};
constexpr U8Setting kByteSize{nmea("ByteSize"), 8};
constexpr U8Setting kStopBits{nmea("StopBits"), 0};
constexpr U8Setting kHandShake{nmea("HandShake"), 0};
// Stored as a signed decimal; the getter hands back all 32 bits unsigned.
constexpr IntSetting kInterval{nmea("Interval"), 1000};
constexpr IntSetting kSetOpen{nmea("SetOpen"), 0};
constexpr IntSetting kGeoLoad{nmea("GEOLOAD"), 0};
constexpr TextSetting kGeoPath{nmea("GEOPATH"), ""};
constexpr TextSetting kGeoVer{nmea("GEOVER"), ""};
constexpr FlagSetting kConnectComm{nmea("ConnectComm"), 1, FlagRead::ExactlyOne};
constexpr TextSetting kBtAddr{nmea("BTAddr"), "", 32};
constexpr U32Setting kBtPort{nmea("BTPort"), 0};

}  // namespace

int trasso::api::GetQZJkn_NMEA_Port() noexcept { return get(kPort); }
void trasso::api::PutQZJkn_NMEA_Port(int value) noexcept { put(kPort, value); }
uint32_t trasso::api::GetQZJkn_NMEA_BaudRate() noexcept { return get(kBaudRate); }
void trasso::api::PutQZJkn_NMEA_BaudRate(uint32_t value) noexcept { put(kBaudRate, value); }
uint8_t trasso::api::GetQZJkn_NMEA_Parity() noexcept { return get(kParity); }
void trasso::api::PutQZJkn_NMEA_Parity(uint8_t value) noexcept { put(kParity, value); }
uint8_t trasso::api::GetQZJkn_NMEA_ByteSize() noexcept { return get(kByteSize); }
void trasso::api::PutQZJkn_NMEA_ByteSize(uint8_t value) noexcept { put(kByteSize, value); }
uint8_t trasso::api::GetQZJkn_NMEA_StopBits() noexcept { return get(kStopBits); }
void trasso::api::PutQZJkn_NMEA_StopBits(uint8_t value) noexcept { put(kStopBits, value); }
uint8_t trasso::api::GetQZJkn_NMEA_HandShake() noexcept { return get(kHandShake); }
void trasso::api::PutQZJkn_NMEA_HandShake(uint8_t value) noexcept { put(kHandShake, value); }
uint32_t trasso::api::GetQZJkn_NMEA_Interval() noexcept {
  return static_cast<uint32_t>(get(kInterval));
}
void trasso::api::PutQZJkn_NMEA_Interval(uint32_t value) noexcept {
  put(kInterval, static_cast<int32_t>(value));
}
int trasso::api::GetQZJkn_NMEA_SetOpen() noexcept { return get(kSetOpen); }
void trasso::api::PutQZJkn_NMEA_SetOpen(int value) noexcept { put(kSetOpen, value); }
int trasso::api::GetQZJkn_NMEA_LoadGeo() noexcept { return get(kGeoLoad); }
void trasso::api::PutQZJkn_NMEA_LoadGeo(int value) noexcept { put(kGeoLoad, value); }
std::string trasso::api::GetQZJkn_NMEA_SrcGeoPath() noexcept { return get(kGeoPath); }
void trasso::api::PutQZJkn_NMEA_SrcGeoPath(const char* text) noexcept { put(kGeoPath, text); }
std::string trasso::api::GetQZJkn_NMEA_GeoVer() noexcept { return get(kGeoVer); }
void trasso::api::PutQZJkn_NMEA_GeoVer(const char* text) noexcept { put(kGeoVer, text); }
int trasso::api::GetQZJkn_NMEA_COMM_or_BT() noexcept { return get(kConnectComm); }
void trasso::api::PutQZJkn_NMEA_COMM_or_BT(int value) noexcept { put(kConnectComm, value); }

void trasso::api::GetQZJkn_NMEA_BtInfo(std::string& address, uint32_t& port) noexcept {
  readTogether(SettingsFile::JknNmea, [&](const SettingsReader& file) {
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

RegistryPart nmeaRegistry() {
  static const SettingEntry entries[] = {
#include "NmeaSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart nmeaOtherKeys() {
  static const facts::OtherKey keys[] = {
      {kBtAddr.key, false, "NMEA_BtInfo"},
      {kBtPort.key, false, "NMEA_BtInfo"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
