#include "Describe.h"

#include <cstdint>
#include <cstring>

#include "JsonText.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "StoreFacts.h"
#include "TextConversion.h"

namespace trasso {

// A stored text or name: UTF-8 when it is code page 932 text, else its bytes.
JsonValue textValue(std::string_view bytes) {
  if (std::optional<std::string> utf8 = text::showable(bytes)) return JsonValue(*utf8);
  return hexText(bytes);
}

JsonValue pathText(const std::string& path) {
  const std::string native = fileio::nativePath(path);
  if (std::optional<std::string> utf8 = text::pathToUtf8(native)) return JsonValue(*utf8);
  return hexText(native);
}

JsonValue typed(const Declaration& d, const Value& v) {
  switch (d.kind) {
    case ValueKind::Text:
      return textValue(std::get<std::string>(v));
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return JsonValue(std::get<double>(v));
    case ValueKind::Colour:
      return JsonValue(valueText(d, v));
    default:
      return JsonValue(std::get<int64_t>(v));
  }
}

namespace {

// The comments of each setting's functions in the areas' tables.
struct Description {
  const char* name;
  const char* text;
};
constexpr Description kDescriptions[] = {
#include "Descriptions.inc"
};

const char* descriptionOf(const SettingEntry& e) {
  for (const Description& d : kDescriptions) {
    if (std::strcmp(d.name, e.name) == 0) return d.text;
  }
  return "";
}

std::string baseName(const std::string& path) {
  const std::string native = fileio::nativePath(path);
  const size_t slash = native.find_last_of("/\\");
  return slash == std::string::npos ? native : native.substr(slash + 1);
}

bool takesFlagValue(const ValueLimits& l, const Declaration& d) {
  return l.isBool || d.kind == ValueKind::Flag;
}

const char* kindOf(const ValueLimits& l, const Declaration& d) {
  switch (d.kind) {
    case ValueKind::Text:
      return "text";
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return "number";
    case ValueKind::Colour:
      return "colour";
    default:
      return takesFlagValue(l, d) ? "flag" : "integer";
  }
}

const char* typeOf(const ValueLimits& l, const Declaration& d) {
  switch (d.kind) {
    case ValueKind::Text:
      return "text";
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      return "double";
    case ValueKind::Colour:
      return "colour";
    default:
      break;
  }
  if (l.isBool) return "bool";
  if (l.minValue < 0) return l.minValue < INT16_MIN ? "int32" : "int16";
  return l.maxValue <= UINT8_MAX ? "uint8" : l.maxValue <= UINT16_MAX ? "uint16" : "uint32";
}

JsonValue rangeOf(const ValueLimits& l, const Declaration& d) {
  JsonValue r = JsonValue::object();
  switch (d.kind) {
    case ValueKind::Text:
      r.set("max_bytes", static_cast<int64_t>(d.bufferSize > 0 ? d.bufferSize - 1 : 0));
      return r;
    case ValueKind::Colour:
      return JsonValue();
    case ValueKind::DoubleA:
    case ValueKind::DoubleB:
      if (!l.range) return JsonValue();
      r.set("min", l.range->min);
      r.set("max", l.range->max);
      return r;
    default:
      break;
  }
  if (takesFlagValue(l, d)) {
    r.set("min", int64_t{0});
    r.set("max", int64_t{1});
  } else if (l.range) {
    r.set("min", static_cast<int64_t>(l.range->min));
    r.set("max", static_cast<int64_t>(l.range->max));
  } else {
    r.set("min", l.minValue);
    r.set("max", l.maxValue);
  }
  return r;
}

// kind, type, default, range, validated and accepts of one value.
void describeValue(JsonValue& o, const SettingEntry& e, const Declaration& d, const ValueLimits& l,
                   bool withDefault) {
  o.set("kind", kindOf(l, d));
  o.set("type", typeOf(l, d));
  o.set("default", withDefault ? typed(d, d.def) : JsonValue());
  o.set("range", rangeOf(l, d));
  o.set("validated", l.range.has_value());
  o.set("accepts", e.put != nullptr ? acceptedValues(e, d) : std::string("read-only"));
}

const char* selectorKind(SelectorKind k) {
  switch (k) {
    case SelectorKind::None:
      return "none";
    case SelectorKind::Mode:
      return "mode";
    case SelectorKind::Side:
      return "side";
    case SelectorKind::Entry:
      return "entry";
    case SelectorKind::Item:
      return "item";
    case SelectorKind::FileId:
      return "file id";
    case SelectorKind::Profile:
      return "profile";
    case SelectorKind::ScreenColour:
      return "screen colour";
    case SelectorKind::CallerDefault:
      return "entry:default";
    case SelectorKind::ZoomMode:
      return "zoom mode";
    case SelectorKind::Field:
      return "field";
  }
  return "";
}

bool numbered(const SettingEntry& e) {
  return e.selector == SelectorKind::Entry || e.selector == SelectorKind::CallerDefault;
}

// A selector without the profile a field's selector may carry.
std::string formOf(const SettingEntry& e, const Selection& s) {
  return e.selector == SelectorKind::Field ? showField(e, s) : showSelector(e, s);
}

JsonValue selectorOf(const SettingEntry& e) {
  if (e.selector == SelectorKind::None) return JsonValue();
  JsonValue forms = JsonValue::array();
  if (numbered(e)) {
    forms.push("N");
    if (e.selector == SelectorKind::CallerDefault) forms.push("N:DEFAULT");
  } else if (e.selector == SelectorKind::ScreenColour) {
    forms.push("FILE,WHICH,SECTION");
  } else if (e.selector == SelectorKind::Profile) {
    forms.push("PATH");
  } else {
    for (const Selection& s : keySelections(e)) forms.push(formOf(e, s));
  }
  JsonValue o = JsonValue::object();
  o.set("kind", selectorKind(e.selector));
  o.set("forms", std::move(forms));
  const bool hasDefault = e.selector == SelectorKind::Mode || e.selector == SelectorKind::Side ||
                          e.selector == SelectorKind::Profile;
  o.set("default", hasDefault ? JsonValue(formOf(e, keySelections(e).front())) : JsonValue());
  o.set("text", selectorWords(e));
  return o;
}

JsonValue keyOfSelection(const SettingEntry& e, const Selection& s, const std::string& selector) {
  const Declaration d = declarationOf(e, s);
  JsonValue k = JsonValue::object();
  k.set("selector", selector.empty() ? JsonValue() : JsonValue(selector));
  const bool fileChosen =
      e.selector == SelectorKind::ScreenColour || e.selector == SelectorKind::Profile;
  k.set("file", fileChosen ? JsonValue() : JsonValue(baseName(pathOf(e, s))));
  k.set("section",
        e.selector == SelectorKind::ScreenColour ? JsonValue() : textValue(d.key.section));
  if (numbered(e)) {
    k.set("key", textValue(std::string(d.key.name) + "N"));
  } else {
    k.set("key", textValue(keyOf(e, s)));
  }
  const bool ownDefault = e.selector != SelectorKind::CallerDefault;
  k.set("default", ownDefault ? typed(d, d.def) : JsonValue());
  return k;
}

JsonValue keysOf(const SettingEntry& e) {
  JsonValue keys = JsonValue::array();
  if (numbered(e)) {
    keys.push(keyOfSelection(e, Selection{}, "N"));
  } else if (e.selector == SelectorKind::ScreenColour) {
    for (int which = 0; screenColourKey(which) != nullptr; ++which) {
      const Selection s{0, {}, which, 0};
      keys.push(keyOfSelection(e, s, std::string("FILE,") + screenColourKey(which) + ",SECTION"));
    }
  } else {
    for (const Selection& s : keySelections(e)) keys.push(keyOfSelection(e, s, formOf(e, s)));
  }
  return keys;
}

JsonValue fieldsOf(const SettingEntry& e) {
  JsonValue fields = JsonValue::array();
  for (size_t i = 0; i < e.fieldCount; ++i) {
    const Selection s{0, e.inProfile ? standardProfilePath(e) : std::string(), static_cast<int>(i)};
    const Declaration d = declarationOf(e, s);
    JsonValue f = JsonValue::object();
    f.set("name", e.fields[i].name);
    describeValue(f, e, d, limitsOf(e, s), true);
    JsonValue keys = JsonValue::array();
    for (const Selection& k : keySelections(e)) {
      if (k.which == s.which) keys.push(keyOfSelection(e, k, showField(e, k)));
    }
    f.set("keys", std::move(keys));
    fields.push(std::move(f));
  }
  return fields;
}

}  // namespace

std::string describeJson(const SettingEntry& e) {
  JsonValue o = JsonValue::object();
  o.set("name", e.name);
  o.set("area", areaOf(e));
  o.set("getter", std::string("GetQZJkn_") + e.name);
  o.set("setter", e.put != nullptr ? JsonValue(std::string("PutQZJkn_") + e.name) : JsonValue());

  const std::vector<Selection> each = keySelections(e);
  const Selection first = each.empty() ? Selection{} : each.front();
  const Declaration d = declarationOf(e, first);
  if (e.selector == SelectorKind::Field) {
    o.set("kind", "record");
    o.set("type", JsonValue());
    o.set("default", JsonValue());
    o.set("range", JsonValue());
    o.set("validated", false);
    o.set("accepts", e.put != nullptr ? "each field its own (fields)" : "read-only");
  } else {
    const bool oneDefault = e.selector != SelectorKind::CallerDefault &&
                            e.selector != SelectorKind::Item &&
                            e.selector != SelectorKind::ZoomMode;
    describeValue(o, e, d, limitsOf(e, first), oneDefault);
  }
  o.set("selector", selectorOf(e));

  // Where the first selection's key lies, unless the selector names the file.
  const bool fileVaries = e.selector == SelectorKind::FileId ||
                          e.selector == SelectorKind::ScreenColour ||
                          e.selector == SelectorKind::Item;
  const std::string path = pathOf(e, first);
  const std::string file = baseName(path);
  const int root = facts::readingRoot(file);
  o.set("file", fileVaries ? JsonValue() : JsonValue(file));
  o.set("root", fileVaries || root < 0 ? JsonValue() : JsonValue(root));
  o.set("path", fileVaries ? JsonValue() : pathText(path));
  o.set("section", fileVaries || e.selector == SelectorKind::ScreenColour
                       ? JsonValue()
                       : textValue(d.key.section));
  o.set("keys", keysOf(e));
  if (e.selector == SelectorKind::Field) o.set("fields", fieldsOf(e));

  JsonValue also = JsonValue::array();
  if (e.selector == SelectorKind::Field) {
    std::string names;
    for (size_t i = 0; i < e.fieldCount; ++i)
      names += (i == 0 ? "" : ", ") + std::string(e.fields[i].name);
    also.push("a field is written by writing the whole record as read with that field changed: " +
              names);
  }
  if (e.alsoWrites != nullptr) also.push(e.alsoWrites);
  o.set("writes_also", std::move(also));
  o.set("same_key_as", e.sameKeyAs);
  o.set("description", descriptionOf(e));
  return o.dump();
}

}  // namespace trasso
