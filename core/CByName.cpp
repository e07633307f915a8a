// The C interface's own functions: statuses, settings by name, antenna lists.
#include <cstring>
#include <new>

#include "CInterfaceSupport.h"
#include "Registry.h"
#include "SettingText.h"
#include "SettingsValues.h"

namespace trasso::c {

JknStatus toC(WriteStatus s) {
  switch (s) {
    case WriteStatus::Written:
    case WriteStatus::Unchanged:
      return JKN_OK;
    case WriteStatus::FolderMissing:
      return JKN_FOLDER_MISSING;
    case WriteStatus::NotAFolder:
      return JKN_NOT_A_FOLDER;
    case WriteStatus::FileIsFolder:
      return JKN_FILE_IS_FOLDER;
    case WriteStatus::NotAFile:
      return JKN_NOT_A_FILE;
    case WriteStatus::ReadOnly:
      return JKN_READ_ONLY;
    case WriteStatus::AccessDenied:
      return JKN_ACCESS_DENIED;
    case WriteStatus::Refused:
      return JKN_REFUSED;
    case WriteStatus::OutOfRange:
      return JKN_OUT_OF_RANGE;
    case WriteStatus::DiskFull:
      return JKN_DISK_FULL;
    case WriteStatus::Busy:
      return JKN_BUSY;
    case WriteStatus::IoError:
      return JKN_IO_ERROR;
  }
  return JKN_IO_ERROR;
}

namespace {

// The entry and selection a name and selector text give, or the status why not.
struct Named {
  const SettingEntry* entry = nullptr;
  Selection selection;
  JknStatus status = JKN_OK;
};

Named named(const char* name, const char* selector) {
  Named n;
  n.entry = name ? findSetting(name) : nullptr;
  if (!n.entry) {
    n.status = JKN_UNKNOWN_SETTING;
    return n;
  }
  try {
    const bool none = !selector || !*selector;
    n.selection =
        parseSelector(*n.entry, none ? std::nullopt : std::optional<std::string>(selector));
  } catch (const Refusal&) {
    n.status = JKN_BAD_SELECTOR;
  }
  return n;
}

}  // namespace

}  // namespace trasso::c

using namespace trasso;

extern "C" {

const char* jkn_status_text(JknStatus status) JKN_NOEXCEPT {
  switch (status) {
    case JKN_OK:
      return "done";
    case JKN_UNKNOWN_SETTING:
      return "unknown setting";
    case JKN_BAD_SELECTOR:
      return "bad selector";
    case JKN_BAD_VALUE:
      return "bad value";
    case JKN_NOT_SETTABLE:
      return "setting is read-only";
    default:
      break;
  }
  // The write path's causes, in its own words.
  for (int s = static_cast<int>(WriteStatus::FolderMissing);
       s <= static_cast<int>(WriteStatus::IoError); ++s) {
    if (c::toC(static_cast<WriteStatus>(s)) == status) {
      return statusText(static_cast<WriteStatus>(s));
    }
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
    const c::Named n = c::named(name, selector);
    if (n.status != JKN_OK) return n.status;
    // A value that is the caller's default, none named: the empty text.
    const std::optional<Value> v = readValue(*n.entry, n.selection);
    const std::string text = v ? valueText(declarationOf(*n.entry, n.selection), *v) : "";
    const size_t full = c::copyOut(text, buffer, capacity);
    if (length) *length = full;
    return JKN_OK;
  } catch (const std::bad_alloc&) {
    return JKN_IO_ERROR;
  }
}

JknStatus jkn_set(const char* name, const char* selector, const char* value) JKN_NOEXCEPT {
  try {
    const c::Named n = c::named(name, selector);
    if (n.status != JKN_OK) return n.status;
    if (!n.entry->put) return JKN_NOT_SETTABLE;
    if (!value) return JKN_BAD_VALUE;
    // A line break is refused as the setters refuse it; a well-formed value
    // outside a validating setter's range is out of range, as they say.
    if (std::strpbrk(value, "\r\n")) return JKN_REFUSED;
    const Declaration d = declarationOf(*n.entry, n.selection);
    // The empty text jkn_get gives for no value of its own: that value again.
    if (n.entry->selector == SelectorKind::CallerDefault && !*value) {
      return jkn_reset(name, selector);
    }
    Value v;
    try {
      v = parseValue(*n.entry, d, value);
    } catch (const Refusal&) {
      try {
        parseValue(*n.entry, d, value, nullptr, false);
      } catch (const Refusal&) {
        return JKN_BAD_VALUE;
      }
      return JKN_OUT_OF_RANGE;
    }
    return c::toC(n.entry->put(n.selection, v));
  } catch (const std::bad_alloc&) {
    return JKN_IO_ERROR;
  }
}

JknStatus jkn_reset(const char* name, const char* selector) JKN_NOEXCEPT {
  try {
    const c::Named n = c::named(name, selector);
    if (n.status != JKN_OK) return n.status;
    if (!n.entry->put) return JKN_NOT_SETTABLE;
    const Declaration d = declarationOf(*n.entry, n.selection);
    return c::toC(writeText(pathOf(*n.entry, n.selection), d.key.section,
                            keyOf(*n.entry, n.selection).c_str(), nullptr));
  } catch (const std::bad_alloc&) {
    return JKN_IO_ERROR;
  }
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
