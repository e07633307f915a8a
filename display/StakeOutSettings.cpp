// Stake-out graphics, rectangle observation, zoom and observation screen
// settings, all in "def-share.ini".
#include <iterator>

#include "Api.h"
#include "NumberedSetting.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"

using namespace trasso;

namespace {

constexpr Key share(const char* section, const char* name) {
  return Key{SettingsFile::DefShare, section, name};
}

// Stake-out entries: the name is the prefix of the numbered key; the caller
// supplies each default, so the declared one is never used.
constexpr ColourSetting kSksColour{share("SKSG", "COL"), ""};
constexpr IntSetting kSksWidth{share("SKSG", "WDT"), 0};
constexpr IntSetting kSksType{share("SKSG", "TYP"), 0};
constexpr ColourSetting kSksNorm{share("SKSG", "NCOL"), "153,153,255"};
constexpr ColourSetting kSksErr{share("SKSG", "WCOL"), "255,153,255"};
constexpr ColourSetting kSksOver{share("SKSG", "HCOL"), "153,255,153"};

constexpr U16Setting kRectCode{share("RCOB", "CODE"), 9998};
constexpr U16Setting kRectMode{share("RCOB", "MODE"), 0};
constexpr DoubleTextSetting kRectWide{share("RCOB", "WIDE"), "0.5", 3, 32};

constexpr U16Setting kObsMainZoom{share("GZPROP", "OMZ"), 0};
constexpr U16Setting kObsCtrlZoom{share("GZPROP", "OCZ"), 0};
constexpr U16Setting kAssistZoom{share("GZPROP", "ASZ"), 1};

// The scale of each zoom mode; a mode outside the table reads the row of its
// view's default zoom mode.
struct ScaleTable {
  DoubleTextSetting modes[3];
  uint16_t fallback;
};
constexpr DoubleTextSetting scale(const char* name, const char* def) {
  return DoubleTextSetting{share("GZPROP", name), def, 3, 32};
}
constexpr ScaleTable kMainScales{{scale("SML", "1.0"), scale("MDL", "1.2"), scale("LRG", "1.4")},
                                 0};
constexpr ScaleTable kAssistScales{
    {scale("A_SML", "0.8"), scale("A_MDL", "1.0"), scale("A_LRG", "1.2")}, 1};

constexpr FlagSetting kStartEndCmd{share("ZOKEX", "STEDMODE"), 1};
constexpr U16Setting kStkDispMode{share("OBSSEC", "STKDSPMODE"), 0};
constexpr FlagSetting kStockNonDelete{share("OBSSEC", "STKNNONDELETE"), 0};

const DoubleTextSetting& scaleSetting(const ScaleTable& table, uint16_t mode) {
  return table.modes[mode < std::size(table.modes) ? mode : table.fallback];
}

double scaleOf(const ScaleTable& table, uint16_t mode) { return get(scaleSetting(table, mode)); }

// The declarations the registry shows for a mode.
Declaration mainScaleAt(int mode) {
  return declare(scaleSetting(kMainScales, static_cast<uint16_t>(mode)));
}
Declaration assistScaleAt(int mode) {
  return declare(scaleSetting(kAssistScales, static_cast<uint16_t>(mode)));
}

}  // namespace

uint32_t trasso::api::GetQZJkn_SksColor(int n, const char* def) noexcept {
  return getNumbered(ColourSetting{kSksColour.key, def}, n);
}
void trasso::api::PutQZJkn_SksColor(int n, uint32_t colour) noexcept {
  putNumbered(kSksColour, n, colour);
}
int trasso::api::GetQZJkn_SksWidth(int n, int def) noexcept {
  return getNumbered(IntSetting{kSksWidth.key, def}, n);
}
void trasso::api::PutQZJkn_SksWidth(int n, int width) noexcept { putNumbered(kSksWidth, n, width); }
int trasso::api::GetQZJkn_SksType(int n, int def) noexcept {
  return getNumbered(IntSetting{kSksType.key, def}, n);
}
void trasso::api::PutQZJkn_SksType(int n, int type) noexcept { putNumbered(kSksType, n, type); }

uint32_t trasso::api::GetQZJkn_SksNormColor() noexcept { return get(kSksNorm); }
void trasso::api::PutQZJkn_SksNormColor(uint32_t colour) noexcept { put(kSksNorm, colour); }
uint32_t trasso::api::GetQZJkn_SksErrColor() noexcept { return get(kSksErr); }
void trasso::api::PutQZJkn_SksErrColor(uint32_t colour) noexcept { put(kSksErr, colour); }
uint32_t trasso::api::GetQZJkn_SksOverColor() noexcept { return get(kSksOver); }
void trasso::api::PutQZJkn_SksOverColor(uint32_t colour) noexcept { put(kSksOver, colour); }

uint16_t trasso::api::GetQZJkn_RectObsKanCode() noexcept { return get(kRectCode); }
void trasso::api::PutQZJkn_RectObsKanCode(uint16_t value) noexcept { put(kRectCode, value); }
uint16_t trasso::api::GetQZJkn_RectObsMode() noexcept { return get(kRectMode); }
void trasso::api::PutQZJkn_RectObsMode(uint16_t value) noexcept { put(kRectMode, value); }
double trasso::api::GetQZJkn_RectObsWide() noexcept { return get(kRectWide); }
void trasso::api::PutQZJkn_RectObsWide(double value) noexcept { put(kRectWide, value); }

uint16_t trasso::api::GetQZJkn_ObsMainZoomMode() noexcept { return get(kObsMainZoom); }
void trasso::api::PutQZJkn_ObsMainZoomMode(uint16_t mode) noexcept { put(kObsMainZoom, mode); }
uint16_t trasso::api::GetQZJkn_ObsCtrlZoomMode() noexcept { return get(kObsCtrlZoom); }
void trasso::api::PutQZJkn_ObsCtrlZoomMode(uint16_t mode) noexcept { put(kObsCtrlZoom, mode); }
uint16_t trasso::api::GetQZJkn_AssistMainZoomMode() noexcept { return get(kAssistZoom); }
void trasso::api::PutQZJkn_AssistMainZoomMode(uint16_t mode) noexcept { put(kAssistZoom, mode); }
double trasso::api::GetQZJkn_ZoomModeScale(uint16_t mode) noexcept {
  return scaleOf(kMainScales, mode);
}
double trasso::api::GetQZJkn_AssistMainZoomModeScale(uint16_t mode) noexcept {
  return scaleOf(kAssistScales, mode);
}

bool trasso::api::GetQZJkn_ObsZokExStartEndCmdMode() noexcept { return get(kStartEndCmd) != 0; }
void trasso::api::PutQZJkn_ObsZokExStartEndCmdMode(bool on) noexcept {
  put(kStartEndCmd, on ? 1 : 0);
}
uint16_t trasso::api::GetQZJkn_ObsStkDispMode() noexcept { return get(kStkDispMode); }
void trasso::api::PutQZJkn_ObsStkDispMode(uint16_t mode) noexcept { put(kStkDispMode, mode); }
bool trasso::api::GetQZJkn_ObsZokStockNonDelete() noexcept { return get(kStockNonDelete) != 0; }
void trasso::api::PutQZJkn_ObsZokStockNonDelete(bool on) noexcept {
  put(kStockNonDelete, on ? 1 : 0);
}

namespace trasso {

RegistryPart stakeOutRegistry() {
  static const SettingEntry entries[] = {
#include "StakeOutSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart stakeOutOtherKeys() {
  static const facts::OtherKey keys[] = {
      {kSksColour.key, true, "SksColor"},
      {kSksWidth.key, true, "SksWidth"},
      {kSksType.key, true, "SksType"},
      {kMainScales.modes[0].key, false, "ZoomModeScale"},
      {kMainScales.modes[1].key, false, "ZoomModeScale"},
      {kMainScales.modes[2].key, false, "ZoomModeScale"},
      {kAssistScales.modes[0].key, false, "AssistMainZoomModeScale"},
      {kAssistScales.modes[1].key, false, "AssistMainZoomModeScale"},
      {kAssistScales.modes[2].key, false, "AssistMainZoomModeScale"},
  };
  return {keys, std::size(keys)};
}

}  // namespace trasso
