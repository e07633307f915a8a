#include "JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "TextConversion.h"

namespace trasso {
namespace {

void escapeUnit(std::string& out, uint32_t unit) {
  char text[16];  // room for any 32-bit unit, though escapes are 16-bit
  std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(unit));
  out += text;
}

void writeString(std::string& out, std::string_view s) {
  out += '"';
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      switch (b) {
        case '"':
          out += "\\\"";
          break;
        case '\\':
          out += "\\\\";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          if (b < 0x20 || b == 0x7F) {
            escapeUnit(out, b);
          } else {
            out += static_cast<char>(b);
          }
      }
      ++i;
      continue;
    }
    const auto [c, n] = text::utf8At(s, i);
    if (n == 0) {
      escapeUnit(out, 0xFFFD);
      ++i;
    } else if (c >= 0x10000) {  // a surrogate pair
      escapeUnit(out, 0xD800 + ((c - 0x10000) >> 10));
      escapeUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
      i += n;
    } else {
      escapeUnit(out, c);
      i += n;
    }
  }
  out += '"';
}

// indent < 0: all on one line, members apart by ", ".
void newLine(std::string& out, int indent) {
  if (indent < 0) return;
  out += '\n';
  out.append(static_cast<size_t>(indent) * 2, ' ');
}

int deeper(int indent) { return indent < 0 ? indent : indent + 1; }

}  // namespace

JsonValue& JsonValue::set(std::string_view key, JsonValue v) {
  for (auto& [k, member] : members_) {
    if (k == key) {
      member = std::move(v);
      return member;
    }
  }
  members_.emplace_back(std::string(key), std::move(v));
  return members_.back().second;
}

JsonValue& JsonValue::push(JsonValue v) {
  items_.push_back(std::move(v));
  return items_.back();
}

void JsonValue::write(std::string& out, int indent) const {
  switch (kind_) {
    case Kind::Null:
      out += "null";
      break;
    case Kind::Bool:
      out += integer_ != 0 ? "true" : "false";
      break;
    case Kind::Integer:
      out += std::to_string(integer_);
      break;
    case Kind::Double: {
      if (!std::isfinite(double_)) {
        out += "null";
        break;
      }
      char text[32];
      const auto end = std::to_chars(text, text + sizeof text, double_).ptr;
      out.append(text, end);
      break;
    }
    case Kind::String:
      writeString(out, string_);
      break;
    case Kind::Object:
      if (members_.empty()) {
        out += "{}";
        break;
      }
      out += '{';
      for (size_t i = 0; i < members_.size(); ++i) {
        if (i > 0) out += indent < 0 ? ", " : ",";
        newLine(out, deeper(indent));
        writeString(out, members_[i].first);
        out += ": ";
        members_[i].second.write(out, deeper(indent));
      }
      newLine(out, indent);
      out += '}';
      break;
    case Kind::Array:
      if (items_.empty()) {
        out += "[]";
        break;
      }
      out += '[';
      for (size_t i = 0; i < items_.size(); ++i) {
        if (i > 0) out += indent < 0 ? ", " : ",";
        newLine(out, deeper(indent));
        items_[i].write(out, deeper(indent));
      }
      newLine(out, indent);
      out += ']';
      break;
  }
}

std::string JsonValue::dump() const {
  std::string out;
  write(out, 0);
  return out;
}

std::string JsonValue::dumpLine() const {
  std::string out;
  write(out, -1);
  return out;
}

JsonValue hexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  JsonValue o = JsonValue::object();
  o.set("hex", std::move(hex));
  return o;
}

}  // namespace trasso
