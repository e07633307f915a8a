// The small JSON writer of the C interface (jkn_describe): a value tree whose
// objects keep their members in the order they were set, written indented by
// two spaces. Strings are UTF-8 in and pure ASCII out: every other character
// is a \u escape, and a byte that is no UTF-8 becomes U+FFFD (callers give
// such bytes as {"hex": ...} instead, see hexText).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trasso {

class JsonValue {
 public:
  JsonValue() = default;  // null
  JsonValue(bool b) : kind_(Kind::Bool), integer_(b) {}
  JsonValue(int64_t n) : kind_(Kind::Integer), integer_(n) {}
  JsonValue(int n) : JsonValue(int64_t{n}) {}
  JsonValue(double d) : kind_(Kind::Double), double_(d) {}
  JsonValue(std::string s) : kind_(Kind::String), string_(std::move(s)) {}
  JsonValue(const char* s) : JsonValue(s != nullptr ? JsonValue(std::string(s)) : JsonValue()) {}

  static JsonValue object() { return JsonValue(Kind::Object); }
  static JsonValue array() { return JsonValue(Kind::Array); }

  // A member of an object (replacing one of that name) or an item of an array.
  JsonValue& set(std::string_view key, JsonValue v);
  JsonValue& push(JsonValue v);

  std::string dump() const;
  // The same on one line: {"a": 1, "b": [2, 3]}.
  std::string dumpLine() const;

 private:
  enum class Kind { Null, Bool, Integer, Double, String, Object, Array };
  explicit JsonValue(Kind k) : kind_(k) {}
  void write(std::string& out, int indent) const;

  Kind kind_ = Kind::Null;
  int64_t integer_ = 0;
  double double_ = 0;
  std::string string_;
  std::vector<std::pair<std::string, JsonValue>> members_;
  std::vector<JsonValue> items_;
};

// {"hex": "..."}: bytes that are no text of the encoding expected.
JsonValue hexText(std::string_view bytes);

}  // namespace trasso
