#include "ProfileSetting.h"

namespace trasso::profile {

double readDouble(const std::string& path, const DoubleSetting& s, size_t bufferSize) {
  const std::string text = readText(path, s.key.section, KeyName(s.key, 0).c_str(), "", bufferSize);
  return text.empty() ? s.def : textToDouble(text);
}

}  // namespace trasso::profile
