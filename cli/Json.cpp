#include "Json.h"

#include <iostream>

#include "Stored.h"
#include "Values.h"

namespace jkn::out {

using trasso::ValueKind;

json value(const trasso::Declaration& d, const trasso::Value& v) {
  if (const auto* n = std::get_if<int64_t>(&v)) {
    return d.kind == ValueKind::Colour ? json(showValue(d, v, false)) : json(*n);
  }
  if (const auto* x = std::get_if<double>(&v)) return *x;
  return name(std::get<std::string>(v));
}

json value(const trasso::Declaration& d, const std::optional<trasso::Value>& v) {
  return v ? value(d, *v) : json(nullptr);
}

json name(std::string_view bytes) {
  const std::string b(bytes);
  return isShowableCp932(b) ? json(toUtf8(b)) : json{{"hex", toHex(b)}};
}

json setting(const trasso::SettingEntry& e, const trasso::Selection& s) {
  const std::string selector = selectorBesideFile(e, s);
  return json{{"name", e.name}, {"selector", selector.empty() ? json(nullptr) : json(selector)}};
}

json place(const std::string& path, std::string_view section, std::string_view key) {
  return json{{"file", shownPath(trasso::fileio::nativePath(path))},
              {"section", name(section)},
              {"key", name(key)}};
}

void print(const json& j) {
  std::cout << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

}  // namespace jkn::out
