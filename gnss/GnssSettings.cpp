// GNSS connection and observation settings: "jkn-gnss.ini".
#include <iterator>

#include "Api.h"
#include "Registry.h"
#include "Setting.h"
#include "StoreFacts.h"
#include "display/NumberedSetting.h"

using namespace trasso;

#include "generated/gnss/GnssSettings.settings.inc"

// Sky plot columns: the key is the column number, the default the caller's.
// One key per column number; the caller gives the default, so the declared one
// is what the registry reads when none is given.
int trasso::api::GetQZJkn_GNSS_SkyPlotLClm(int column, int def) noexcept {
  return getNumbered(IntSetting{kSkyPlotColumn.key, def}, column);
}

void trasso::api::PutQZJkn_GNSS_SkyPlotLClm(int column, int value) noexcept {
  putNumbered(kSkyPlotColumn, column, value);
}

namespace trasso {

RegistryPart registryOfGnssSettings() {
  static const SettingEntry entries[] = {
#include "generated/gnss/GnssSettings.entries.inc"
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso

namespace trasso {

facts::OtherKeyPart otherKeysOfGnssSettings() {
  static const facts::OtherKey keys[] = {{kSkyPlotColumn.key, true, "GNSS_SkyPlotLClm"}};
  return {keys, std::size(keys)};
}

}  // namespace trasso
