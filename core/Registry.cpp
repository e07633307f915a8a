#include "Registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "StoreFacts.h"

namespace trasso {

// The area files' runs of entries.
RegistryPart gnssRegistry();
RegistryPart currentAntennaRegistry();
RegistryPart nmeaRegistry();
RegistryPart tsRegistry();
RegistryPart prismListRegistry();
RegistryPart instrumentProfileRegistry();
RegistryPart sokuRegistry();
RegistryPart displayItemRegistry();
RegistryPart displayListRegistry();
RegistryPart stakeOutRegistry();

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

Declaration numberDeclaration(const Key& key, ValueKind kind, int64_t def) {
  return Declaration{key, kind, Value{def}, nullptr};
}

}  // namespace

std::string standardProfilePath(const SettingEntry& e) {
  const facts::ProfilePlace* place = facts::profilePlace(areaOf(e));
  return SettingsFilePath(place != nullptr ? place->file : SettingsFile::JknZetr);
}

Declaration declare(const IntSetting& s) { return numberDeclaration(s.key, ValueKind::Int, s.def); }
Declaration declare(const U8Setting& s) { return numberDeclaration(s.key, ValueKind::U8, s.def); }
Declaration declare(const U16Setting& s) { return numberDeclaration(s.key, ValueKind::U16, s.def); }
Declaration declare(const U32Setting& s) { return numberDeclaration(s.key, ValueKind::U32, s.def); }
Declaration declare(const FlagSetting& s) {
  Declaration d = numberDeclaration(s.key, ValueKind::Flag, fallback(s));
  d.flagRead = s.read;
  return d;
}
Declaration declare(const TextSetting& s) {
  return Declaration{s.key, ValueKind::Text, Value{std::string(s.def)}, s.def, 0, s.bufferSize};
}
Declaration declare(const DoubleSetting& s) {
  return Declaration{s.key, ValueKind::DoubleA, Value{s.def}, nullptr, s.decimals, s.bufferSize};
}
Declaration declare(const DoubleTextSetting& s) {
  return Declaration{s.key, ValueKind::DoubleB, Value{fallback(s)},
                     s.def, s.decimals,         s.bufferSize};
}
Declaration declare(const ColourSetting& s) {
  return Declaration{s.key, ValueKind::Colour, Value{int64_t{fallback(s)}}, s.def, 0, 20};
}

const std::vector<SettingEntry>& settingsRegistry() {
  static const std::vector<SettingEntry> all = [] {
    std::vector<SettingEntry> entries;
    for (const RegistryPart part :
         {gnssRegistry(), currentAntennaRegistry(), nmeaRegistry(), tsRegistry(),
          prismListRegistry(), instrumentProfileRegistry(), sokuRegistry(), displayItemRegistry(),
          displayListRegistry(), stakeOutRegistry()}) {
      entries.insert(entries.end(), part.entries, part.entries + part.size);
    }
    return entries;
  }();
  return all;
}

const SettingEntry* findSetting(std::string_view name) {
  const SettingEntry* folded = nullptr;
  for (const SettingEntry& e : settingsRegistry()) {
    if (name == e.name) return &e;
    if (equalIgnoringCase(name, e.name)) folded = &e;
  }
  return folded;
}

Declaration declarationOf(const SettingEntry& e, const Selection& s) {
  Declaration d = e.declarationAt != nullptr ? e.declarationAt(s.number) : e.decl;
  if (e.selector == SelectorKind::FileId) d.key.file = static_cast<SettingsFile>(s.number);
  return d;
}

std::string pathOf(const SettingEntry& e, const Selection& s) {
  if (e.selector == SelectorKind::Profile) return s.path;
  return SettingsFilePath(declarationOf(e, s).key.file);
}

std::string keyOf(const SettingEntry& e, const Selection& s) {
  const Declaration d = declarationOf(e, s);
  if (d.key.name == nullptr) return std::string();
  if (e.selector == SelectorKind::Entry) return numberedKey(d.key, s.number);
  return KeyName(d.key, s.number).c_str();
}

namespace {

// Entry numbers, item codes and file ids: 0 to listed - 1, those that name a key.
std::vector<Selection> numberedSelections(const SettingEntry& e) {
  std::vector<Selection> out;
  for (int n = 0; n < e.listed; ++n) {
    if (e.declarationAt == nullptr || e.declarationAt(n).key.name != nullptr) {
      out.push_back(Selection{n, {}});
    }
  }
  return out;
}

}  // namespace

std::vector<Selection> listedSelections(const SettingEntry& e) {
  switch (e.selector) {
    case SelectorKind::None:
      return {Selection{}};
    case SelectorKind::Mode:
    case SelectorKind::Side:
      return {Selection{0, {}}, Selection{1, {}}};
    case SelectorKind::Profile:
      return {Selection{0, standardProfilePath(e)}};
    case SelectorKind::Entry:
    case SelectorKind::Item:
    case SelectorKind::FileId:
      return numberedSelections(e);
  }
  return {};
}

std::string areaOf(const SettingEntry& e) {
  for (const char* area : {"GNSS", "NMEA", "TS", "ZETR", "PL30", "Soku"}) {
    const size_t n = std::strlen(area);
    if (std::strncmp(e.name, area, n) == 0 && e.name[n] == '_') return area;
  }
  return "Display";
}

std::string storedText(const Declaration& d, const Value& v) {
  switch (d.kind) {
    case ValueKind::Int:
      return formatInt(static_cast<int32_t>(std::get<int64_t>(v)));
    case ValueKind::U8:
      return formatInt(static_cast<uint8_t>(std::get<int64_t>(v)));
    case ValueKind::U16:
      return formatUnsigned(static_cast<uint16_t>(std::get<int64_t>(v)));
    case ValueKind::U32:
      return formatUnsigned(static_cast<uint32_t>(std::get<int64_t>(v)));
    case ValueKind::Flag:
      return std::get<int64_t>(v) != 0 ? "1" : "0";
    case ValueKind::Text:
      return std::get<std::string>(v);
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return formatFixed(std::get<double>(v), d.decimals);
    case ValueKind::Colour:
      return colourToText(static_cast<uint32_t>(std::get<int64_t>(v)));
  }
  return std::string();
}

}  // namespace trasso

namespace trasso {

const std::vector<Uncovered>& uncoveredFunctions() {
  static const std::vector<Uncovered> list = {
      // catalogue
      {"AntennaInit", "catalogue"},
      {"GetAntennaRec", "catalogue"},
      {"GetGNSSSensorBmp", "catalogue"},
      {"GetGNSSSensorBmpAntennaOffset", "catalogue"},
      {"GetHmnZaKei", "catalogue"},
      {"GetHmnZaKeiCnt", "catalogue"},
      {"GetHmnZaKeiInfo", "catalogue"},
      {"SetHmnZaKei", "catalogue"},
      {"GetNTrip_Co_Cnt", "catalogue"},
      {"GetNTrip_Co_Info", "catalogue"},
      {"GetNTrip_Protcol_Cnt", "catalogue"},
      {"GetNTrip_Protocol_Info", "catalogue"},
      // tool
      {"QZJknTool_GetGeoidFileVer", "tool"},
      {"QZJknTool_IsGeoidFileISG", "tool"},
      {"QZJknTool_MakeNoName", "tool"},
      {"GetQZJkn_TS_Psm_FromStr", "tool"},
      {"PutQZJkn_TS_Psm_ToStr", "tool"},
      // path or file operation
      {"GetQZGeoidFile_FullPath", "path or file operation"},
      {"GetQZGeoidFile_Path", "path or file operation"},
      {"GetQZImg_Path", "path or file operation"},
      {"GetQZInf_Path", "path or file operation"},
      {"GetQZWav_Path", "path or file operation"},
      {"GetQZJkn_ZETR_Path", "path or file operation"},
      {"GetQZJkn_PL30_Path", "path or file operation"},
      {"GetQZJkn_Soku_Path", "path or file operation"},
      {"Flush_QZJkn_PL30_File", "path or file operation"},
      {"Flush_QZJkn_Soku_File", "path or file operation"},
      {"Flush_QZJkn_ZETR_File", "path or file operation"},
      {"ClearQZJkn_ZETR_OBS", "path or file operation"},
      // record of several keys
      {"GetQZJkn_GNSS_RTKConnectProp", "record of several keys"},
      {"PutQZJkn_GNSS_RTKConnectProp", "record of several keys"},
      {"GetQZJkn_GNSS_StaCurrentAntenna", "record of several keys"},
      {"PutQZJkn_GNSS_StaCurrentAntenna", "record of several keys"},
      {"GetQZJkn_GNSS_StaCurrentReceiver", "record of several keys"},
      {"PutQZJkn_GNSS_StaCurrentReceiver", "record of several keys"},
      {"GetQZJkn_NMEA_BtInfo", "record of several keys"},
      {"PutQZJkn_NMEA_BtInfo", "record of several keys"},
      {"GetQZJkn_TS_ZETRBtRadio", "record of several keys"},
      {"PutQZJkn_TS_ZETRBtRadio", "record of several keys"},
      {"GetQZJkn_TS_AutoLoad_Ex", "record of several keys"},
      {"PutQZJkn_TS_AutoLoad_Ex", "record of several keys"},
      {"GetQZJkn_ZETR_Dst_CentigradePress", "record of several keys"},
      {"PutQZJkn_ZETR_Dst_CentigradePress", "record of several keys"},
      {"GetQZJkn_PL30_Dst_CentigradePress", "record of several keys"},
      {"PutQZJkn_PL30_Dst_CentigradePress", "record of several keys"},
      {"GetQZJkn_ZETR_Npr_RangeValue", "record of several keys"},
      {"PutQZJkn_ZETR_Npr_RangeValue", "record of several keys"},
      {"GetQZJkn_ZETR_Sch_HVRangeRad", "record of several keys"},
      {"PutQZJkn_ZETR_Sch_HVRangeRad", "record of several keys"},
      // the caller gives the default
      {"GetQZJkn_GNSS_SkyPlotLClm", "the caller gives the default"},
      {"PutQZJkn_GNSS_SkyPlotLClm", "the caller gives the default"},
      {"GetQZJkn_SksColor", "the caller gives the default"},
      {"PutQZJkn_SksColor", "the caller gives the default"},
      {"GetQZJkn_SksType", "the caller gives the default"},
      {"PutQZJkn_SksType", "the caller gives the default"},
      {"GetQZJkn_SksWidth", "the caller gives the default"},
      {"PutQZJkn_SksWidth", "the caller gives the default"},
      // two selectors (file id and colour)
      {"GetQZJkn_Color", "two selectors (file id and colour)"},
      {"PutQZJkn_Color", "two selectors (file id and colour)"},
      // key chosen by the zoom mode, with a fallback row
      {"GetQZJkn_ZoomModeScale", "key chosen by the zoom mode, with a fallback row"},
      {"GetQZJkn_AssistMainZoomModeScale", "key chosen by the zoom mode, with a fallback row"},
      // offset text of the numeric library
      {"GetQZJkn_GNSS_CurrentAntennaOffset", "offset text of the numeric library"},
      {"PutQZJkn_GNSS_CurrentAntennaOffset", "offset text of the numeric library"},
      // switching also forgets the stored set-up
      {"GetQZJkn_TS_AutoLoad", "switching also forgets the stored set-up"},
      {"PutQZJkn_TS_AutoLoad", "switching also forgets the stored set-up"},
      // the ZETR profile's key at its standard place (ZETR_Dsp_StartupJkn)
      {"GetQZJkn_TS_Dsp_StartupJkn",
       "the ZETR profile's key at its standard place (ZETR_Dsp_StartupJkn)"},
      {"PutQZJkn_TS_Dsp_StartupJkn",
       "the ZETR profile's key at its standard place (ZETR_Dsp_StartupJkn)"},
  };
  return list;
}

}  // namespace trasso
