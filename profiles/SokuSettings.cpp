// Setting-out settings: a caller-named file, "jkn-soku.ini" in its default place.
// No setter checks its value.
#include <iterator>

#include "Api.h"
#include "ProfileSetting.h"
#include "Registry.h"

using namespace trasso;
using namespace trasso::profile;

#include "generated/profiles/SokuSettings.settings.inc"

bool trasso::api::GetQZJkn_Soku_OpenSokusetsuProp(const char* path) noexcept {
  return readFlag(pathText(path), kOpenSokusetsuProp);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuProp() noexcept {
  return GetQZJkn_Soku_OpenSokusetsuProp(GetQZJkn_Soku_Path().c_str());
}
void trasso::api::PutQZJkn_Soku_OpenSokusetsuProp(const char* path, bool v) noexcept {
  putIn(pathText(path), kOpenSokusetsuProp, v);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuMake(const char* path) noexcept {
  return readFlag(pathText(path), kOpenSokusetsuMake);
}
bool trasso::api::GetQZJkn_Soku_OpenSokusetsuMake() noexcept {
  return GetQZJkn_Soku_OpenSokusetsuMake(GetQZJkn_Soku_Path().c_str());
}
void trasso::api::PutQZJkn_Soku_OpenSokusetsuMake(const char* path, bool v) noexcept {
  putIn(pathText(path), kOpenSokusetsuMake, v);
}

namespace trasso {

RegistryPart registryOfSokuSettings() {
  using ProfileGetter = bool (*)(const char*) noexcept;
  static const SettingEntry entries[] = {
#include "generated/profiles/SokuSettings.entries.inc"
      // Each getter also has a form without a path; the entry uses the one with.
      settingEntry<static_cast<ProfileGetter>(&api::GetQZJkn_Soku_OpenSokusetsuProp),
                   &api::PutQZJkn_Soku_OpenSokusetsuProp>("Soku_OpenSokusetsuProp",
                                                          kOpenSokusetsuProp),
      settingEntry<static_cast<ProfileGetter>(&api::GetQZJkn_Soku_OpenSokusetsuMake),
                   &api::PutQZJkn_Soku_OpenSokusetsuMake>("Soku_OpenSokusetsuMake",
                                                          kOpenSokusetsuMake),
  };
  return {entries, std::size(entries)};
}

}  // namespace trasso
