// Current antenna, station equipment and sensor pictures: "jkn-gnss.ini" and
// the merged antenna catalogue.
#include <algorithm>
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "SettingText.h"
#include "StoreFacts.h"
#include "gnss/AntennaCatalogue.h"
#include "outside/MathBase.h"

using namespace trasso;

#include "generated/gnss/CurrentAntenna.settings.inc"

namespace {

// Offsets and heights are decimal texts made and read by the numeric library,
// not the library's own double forms.
double getDistance(const SettingsReader& file, const TextSetting& s) {
  return _AtoD(getFrom(file, s).c_str());
}

std::string distanceText(double value) {
  char text[kDtoABufferSize];
  _DtoA(&value, text, 10);
  return text;
}

constexpr const char* kNoSensorPicture = "NMEA.bmp";

// A distance as the registry sees it: a number whose missing or empty text
// reads as 0, written with ten decimals and cut as the numeric library cuts.
Declaration distance(const TextSetting& s) {
  Declaration d{s.key, ValueKind::DoubleA, Value{_AtoD(s.def)}, s.def, 10, s.bufferSize};
  d.writtenLimit = kDtoABufferSize - 1;
  return d;
}

// The text reads back as written, so the number is what to judge.
void stageDistance(FileEdit& edit, const TextSetting& s, double value) {
  noteReadBack(distance(s), value, KeyName(s.key, 0).c_str());
  stage(edit, s, distanceText(value).c_str());
}

// The current antenna and its offset, in one update.
void putCurrentAntenna(int id, double offset) {
  writeTogether(SettingsFile::JknGnss, [&](FileEdit& edit) {
    stage(edit, kAntenna, id);
    stageDistance(edit, kAOffset, offset);
  });
}

}  // namespace

double trasso::api::GetQZJkn_GNSS_CurrentAntennaOffset() noexcept {
  double offset = _AtoD(kAOffset.def);
  readTogether(SettingsFile::JknGnss,
               [&](const SettingsReader& file) { offset = getDistance(file, kAOffset); });
  return offset;
}
void trasso::api::PutQZJkn_GNSS_CurrentAntennaOffset(double offset) noexcept {
  writeTogether(SettingsFile::JknGnss,
                [&](FileEdit& edit) { stageDistance(edit, kAOffset, offset); });
}

void trasso::api::GetQZJkn_GNSS_StaCurrentAntenna(int& id, double& height,
                                                  std::string& serialNo) noexcept {
  readTogether(SettingsFile::JknGnss, [&](const SettingsReader& file) {
    findTogether(file, 0, kAntennaSta, kAntennaHSta, kASerialNoSta);
    id = getFrom(file, kAntennaSta);
    height = getDistance(file, kAntennaHSta);
    serialNo = getFrom(file, kASerialNoSta);
  });
}

void trasso::api::PutQZJkn_GNSS_StaCurrentAntenna(int id, double height,
                                                  const char* serialNo) noexcept {
  writeTogether(SettingsFile::JknGnss, [&](FileEdit& edit) {
    stage(edit, kAntennaSta, id);
    stageDistance(edit, kAntennaHSta, height);
    stage(edit, kASerialNoSta, serialNo);
  });
}

void trasso::api::GetQZJkn_GNSS_StaCurrentReceiver(int& id, std::string& serialNo) noexcept {
  readTogether(SettingsFile::JknGnss, [&](const SettingsReader& file) {
    findTogether(file, 0, kReceiverSta, kRSerialNoSta);
    id = getFrom(file, kReceiverSta);
    serialNo = getFrom(file, kRSerialNoSta);
  });
}

void trasso::api::PutQZJkn_GNSS_StaCurrentReceiver(int id, const char* serialNo) noexcept {
  writeTogether(SettingsFile::JknGnss, [&](FileEdit& edit) {
    stage(edit, kReceiverSta, id);
    stage(edit, kRSerialNoSta, serialNo);
  });
}

int trasso::api::GetGNSSSensorBmp(int sensor, std::string& picture, int* antenna, double* offset,
                                  AntennaCatalogue* list) noexcept {
  if (antenna != nullptr) *antenna = -1;
  if (offset != nullptr) *offset = 0.0;
  try {
    picture = kNoSensorPicture;
    // The sensor's first entry decides. One with an antenna type ends the walk;
    // one without lets it run on, so the list still receives every entry.
    // One read of the catalogue for the whole walk.
    const SettingsReader catalogue(mergedCataloguePath());
    int found = 0;
    QZ_AntennaRec rec;
    for (int n = 0; readAntennaEntry(catalogue, n, rec) == 1; ++n) {
      if (list != nullptr) list->push_back(rec);
      if (found != 0 || rec.Sensor != sensor) continue;
      found = 1;
      picture = rec.SensorBmp;
      if (rec.ID > -1) {
        if (antenna != nullptr) *antenna = rec.ID;
        if (offset != nullptr) *offset = rec.Offset;
        break;
      }
    }
    return found;
  } catch (...) {  // out of memory: as if the sensor had no entry
    return 0;
  }
}

int trasso::api::GetGNSSSensorBmpAntennaOffset(int current, int sensor, std::string& picture,
                                               double& offset) noexcept {
  AntennaCatalogue list;
  int antenna = -1;
  const int found = GetGNSSSensorBmp(sensor, picture, &antenna, &offset, &list);
  if (found == 1 && antenna >= 0) {
    if (antenna == current) return 1;
    putCurrentAntenna(antenna, offset);
    return 0;
  }
  // The sensor is bound to no antenna type: the current antenna stays when the
  // catalogue offers it apart from any sensor.
  auto entry = std::find_if(list.begin(), list.end(),
                            [current](const QZ_AntennaRec& rec) { return rec.ID == current; });
  if (entry != list.end() && entry->Sensor < 0) {
    offset = entry->Offset;
    return 1;
  }
  putCurrentAntenna(0, 0.0);
  offset = 0.0;
  return 0;
}

namespace {

// The station antenna and receiver as records, field by field.
struct StaAntennaRecord {
  using Values = std::tuple<int, double, std::string>;
  static constexpr bool kInProfile = false;
  static Values read(const Selection&) {
    Values v;
    api::GetQZJkn_GNSS_StaCurrentAntenna(std::get<0>(v), std::get<1>(v), std::get<2>(v));
    return v;
  }
  static void write(const Selection&, const Values& v) {
    api::PutQZJkn_GNSS_StaCurrentAntenna(std::get<0>(v), std::get<1>(v), std::get<2>(v).c_str());
  }
  static std::vector<RecordField> fields() {
    return {recordField("id", kAntennaSta), recordField("height", distance(kAntennaHSta)),
            recordField("serialNo", kASerialNoSta)};
  }
};

struct StaReceiverRecord {
  using Values = std::tuple<int, std::string>;
  static constexpr bool kInProfile = false;
  static Values read(const Selection&) {
    Values v;
    api::GetQZJkn_GNSS_StaCurrentReceiver(std::get<0>(v), std::get<1>(v));
    return v;
  }
  static void write(const Selection&, const Values& v) {
    api::PutQZJkn_GNSS_StaCurrentReceiver(std::get<0>(v), std::get<1>(v).c_str());
  }
  static std::vector<RecordField> fields() {
    return {recordField("id", kReceiverSta), recordField("serialNo", kRSerialNoSta)};
  }
};

}  // namespace

namespace trasso {

RegistryPart registryOfCurrentAntenna() {
  static const SettingEntry entries[] = {
#include "generated/gnss/CurrentAntenna.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart otherKeysOfCurrentAntenna() {
  static const facts::OtherKey keys[] = {
      {kAOffset.key, false, "GNSS_CurrentAntennaOffset"},
      {kAntennaSta.key, false, "GNSS_StaCurrentAntenna"},
      {kAntennaHSta.key, false, "GNSS_StaCurrentAntenna"},
      {kASerialNoSta.key, false, "GNSS_StaCurrentAntenna"},
      {kReceiverSta.key, false, "GNSS_StaCurrentReceiver"},
      {kRSerialNoSta.key, false, "GNSS_StaCurrentReceiver"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
