// Stake-out graphics, rectangle observation, zoom and observation screen
// settings, all in "def-share.ini".
#include <iterator>

#include "Api.h"
#include "NumberedSetting.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"

using namespace trasso;

#include "generated/display/StakeOutSettings.settings.inc"

namespace {

constexpr Key share(const char* section, const char* name) {
  return Key{SettingsFile::DefShare, section, name};
}

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

double trasso::api::GetQZJkn_ZoomModeScale(uint16_t mode) noexcept {
  return scaleOf(kMainScales, mode);
}
double trasso::api::GetQZJkn_AssistMainZoomModeScale(uint16_t mode) noexcept {
  return scaleOf(kAssistScales, mode);
}

namespace trasso {

RegistryPart registryOfStakeOutSettings() {
  static const SettingEntry entries[] = {
#include "generated/display/StakeOutSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart otherKeysOfStakeOutSettings() {
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
