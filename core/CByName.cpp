// The C interface's own functions: statuses, the last error, the version,
// settings by name and described, antenna lists.
#include <cstring>
#include <new>

#include "CInterfaceSupport.h"
#include "Describe.h"
#include "Registry.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "SettingsValues.h"
#include "TextConversion.h"
#include "ThreadBuffers.h"

namespace trasso::c {

// The C header is generated from the same rows: a stale one does not compile.
#define JKN_WRITE_STATUS(name, cName, number, text, meaning, cause, remedy) \
  static_assert(JKN_##cName == (number), "JKN_" #cName " is not " #number);
#define JKN_CALL_STATUS(cName, number, text, meaning) \
  static_assert(JKN_##cName == (number), "JKN_" #cName " is not " #number);
#include "Statuses.def"

JknStatus toC(WriteStatus s) {
  static constexpr JknStatus kByWriteStatus[] = {
#define JKN_WRITE_STATUS(name, cName, number, text, meaning, cause, remedy) JKN_##cName,
#define JKN_CALL_STATUS(cName, number, text, meaning)
#include "Statuses.def"
  };
  return kByWriteStatus[static_cast<size_t>(s)];
}

JknStatus unknownSetting(const char* name) noexcept {
  try {
    return failed(JKN_UNKNOWN_SETTING,
                  "unknown setting '" + text::shownPath(name) +
                      "'; jkn_setting_name lists every setting ('jkn list' shows them)");
  } catch (...) {  // out of memory: the status without its message
    return JKN_UNKNOWN_SETTING;
  }
}

namespace {

// The entry and selection a name and selector text give, or the status why
// not (with its message as the thread's last error).
struct Named {
  const SettingEntry* entry = nullptr;
  Selection selection;
  JknStatus status = JKN_OK;
};

Named named(const char* name, const char* selector, bool withSelector = true) {
  Named n;
  if (name == nullptr) {
    n.status = failed(JKN_MISUSE, "the setting's name is NULL");
    return n;
  }
  n.entry = findSetting(name);
  if (!n.entry) {
    n.status = unknownSetting(name);
    return n;
  }
  if (!withSelector) return n;
  try {
    const bool none = !selector || !*selector;
    n.selection =
        parseSelector(*n.entry, none ? std::nullopt : std::optional<std::string>(selector));
  } catch (const Refusal& r) {
    n.status = failed(JKN_BAD_SELECTOR, r.message);
  }
  return n;
}

// "GNSS_MaskElev svy", as jkn names a setting at a selection.
std::string title(const SettingEntry& e, const Selection& s) {
  const std::string selector = showSelector(e, s);
  return std::string(e.name) + (selector.empty() ? "" : " " + text::shownPath(selector));
}

// "F [SECTION] KEY": where a selection's key lies, as messages show it.
std::string place(const SettingEntry& e, const Selection& s) {
  return text::shownPath(fileio::nativePath(pathOf(e, s))) + " [" +
         text::shownText(declarationOf(e, s).key.section) + "] " + text::shownText(keyOf(e, s));
}

JknStatus notSettable(const SettingEntry& e) {
  return failed(JKN_NOT_SETTABLE,
                std::string(e.name) + " is read-only: the library has no setter for it");
}

JknStatus writeFailed(WriteStatus s, const std::string& what, const std::string& path) {
  return failed(toC(s), what + ": " + writeFailureWords(s, path));
}

}  // namespace

JknStatus badBuffer(const char* function, const char* buffer, size_t capacity) {
  if (buffer != nullptr || capacity == 0) return JKN_OK;
  return failed(JKN_MISUSE, std::string(function) + ": buffer is NULL with capacity " +
                                std::to_string(capacity) + " (NULL goes with capacity 0)");
}

JknStatus outOfMemory() { return failed(JKN_IO_ERROR, "out of memory"); }

}  // namespace trasso::c

using namespace trasso;

extern "C" {

const char* jkn_status_text(JknStatus status) JKN_NOEXCEPT {
  // The first row of a C status gives its text: JKN_OK is "done", not "written".
  struct Row {
    JknStatus status;
    const char* text;
  };
  static constexpr Row kRows[] = {
#define JKN_WRITE_STATUS(name, cName, number, text, meaning, cause, remedy) {JKN_##cName, text},
#define JKN_CALL_STATUS(cName, number, text, meaning) {JKN_##cName, text},
#include "Statuses.def"
  };
  for (const Row& row : kRows) {
    if (row.status == status) return row.text;
  }
  return "unknown status";
}

size_t jkn_setting_count(void) JKN_NOEXCEPT { return settingsRegistry().size(); }

const char* jkn_setting_name(size_t index) JKN_NOEXCEPT {
  const auto& all = settingsRegistry();
  return index < all.size() ? all[index].name : nullptr;
}

JknStatus jkn_get(const char* name, const char* selector, char* buffer, size_t capacity,
                  size_t* length) JKN_NOEXCEPT {
  try {
    if (const JknStatus b = c::badBuffer("jkn_get", buffer, capacity)) return b;
    const c::Named n = c::named(name, selector);
    if (n.status != JKN_OK) return n.status;
    // A file another program held past the wait reads as busy, not as the default.
    const WriteReport reads;
    // A value that is the caller's default, none named: the empty text.
    const std::optional<Value> v = readValue(*n.entry, n.selection);
    if (reads.status() == WriteStatus::Busy) {
      return c::failed(JKN_BUSY, "cannot read " + c::title(*n.entry, n.selection) + ": " +
                                     c::place(*n.entry, n.selection) +
                                     " is held by another program; close it and try again");
    }
    const std::string text = v ? valueText(declarationOf(*n.entry, n.selection), *v) : "";
    const size_t full = c::copyOut(text, buffer, capacity);
    if (length) *length = full;
    return JKN_OK;
  } catch (const std::bad_alloc&) {
    return c::outOfMemory();
  }
}

JknStatus jkn_set(const char* name, const char* selector, const char* value) JKN_NOEXCEPT {
  try {
    // A NULL text removes the key, here as in every text setter.
    if (value == nullptr) return jkn_reset(name, selector);
    const c::Named n = c::named(name, selector);
    if (n.status != JKN_OK) return n.status;
    const SettingEntry& e = *n.entry;
    if (!e.put) return c::notSettable(e);
    const std::string what = "cannot set " + c::title(e, n.selection) + " to " + c::argText(value);
    // A line break is refused as the setters refuse it; a well-formed value
    // outside a validating setter's range is out of range, as they say.
    if (std::strpbrk(value, "\r\n")) {
      return c::failed(JKN_REFUSED, what + ": no value can hold a line break; nothing written to " +
                                        c::place(e, n.selection));
    }
    const Declaration d = declarationOf(e, n.selection);
    // The empty text jkn_get gives for no value of its own: that value again.
    if (e.selector == SelectorKind::CallerDefault && !*value) return jkn_reset(name, selector);
    Value v;
    try {
      v = parseValue(e, d, value);
    } catch (const Refusal& refused) {
      JknStatus status = JKN_OUT_OF_RANGE;
      try {
        parseValue(e, d, value, nullptr, false);
      } catch (const Refusal&) {
        status = JKN_BAD_VALUE;
      }
      return c::failed(status, text::shownText(refused.message) + "; nothing written to " +
                                   c::place(e, n.selection));
    }
    const WriteStatus s = e.put(n.selection, v);
    if (!succeeded(s)) return c::writeFailed(s, what, pathOf(e, n.selection));
    return JKN_OK;
  } catch (const std::bad_alloc&) {
    return c::outOfMemory();
  }
}

JknStatus jkn_reset(const char* name, const char* selector) JKN_NOEXCEPT {
  try {
    const c::Named n = c::named(name, selector);
    if (n.status != JKN_OK) return n.status;
    const SettingEntry& e = *n.entry;
    if (!e.put) return c::notSettable(e);
    const Declaration d = declarationOf(e, n.selection);
    const std::string path = pathOf(e, n.selection);
    const WriteStatus s = writeText(path, d.key.section, keyOf(e, n.selection).c_str(), nullptr);
    if (!succeeded(s)) return c::writeFailed(s, "cannot reset " + c::title(e, n.selection), path);
    return JKN_OK;
  } catch (const std::bad_alloc&) {
    return c::outOfMemory();
  }
}

JknStatus jkn_describe(const char* name, char* buffer, size_t capacity,
                       size_t* length) JKN_NOEXCEPT {
  try {
    if (const JknStatus b = c::badBuffer("jkn_describe", buffer, capacity)) return b;
    const c::Named n = c::named(name, nullptr, false);
    if (n.status != JKN_OK) return n.status;
    const size_t full = c::copyOut(describeJson(*n.entry), buffer, capacity);
    if (length) *length = full;
    return JKN_OK;
  } catch (const std::bad_alloc&) {
    return c::outOfMemory();
  }
}

size_t jkn_last_error(char* buffer, size_t capacity) JKN_NOEXCEPT {
  const ThreadBuffers* buffers = threadBuffers();
  return c::copyOut(buffers != nullptr ? buffers->lastError : std::string(), buffer, capacity);
}

#define JKN_TEXT_OF(x) #x
#define JKN_VERSION_TEXT(major, minor, patch) \
  JKN_TEXT_OF(major) "." JKN_TEXT_OF(minor) "." JKN_TEXT_OF(patch)

const char* jkn_version(void) JKN_NOEXCEPT {
  return JKN_VERSION_TEXT(TRASSOJKN_VERSION_MAJOR, TRASSOJKN_VERSION_MINOR,
                          TRASSOJKN_VERSION_PATCH);
}

JknAntennaList* jkn_antenna_list_create(void) JKN_NOEXCEPT {
  return new (std::nothrow) JknAntennaList;
}

void jkn_antenna_list_destroy(JknAntennaList* list) JKN_NOEXCEPT { delete list; }

size_t jkn_antenna_list_size(const JknAntennaList* list) JKN_NOEXCEPT {
  return list ? list->entries.size() : 0;
}

bool jkn_antenna_list_at(const JknAntennaList* list, size_t index,
                         JknAntennaRec* rec) JKN_NOEXCEPT {
  if (!list || index >= list->entries.size() || !rec) return false;
  c::toC(list->entries[index], *rec);
  return true;
}

}  // extern "C"
