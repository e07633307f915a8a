// The C interface's watches (jkn_watch_*): SettingsWatch behind a handle.
#include <memory>
#include <new>

#include "CInterfaceSupport.h"
#include "SettingsWatch.h"
#include "TextConversion.h"

struct JknWatch {
  explicit JknWatch(std::vector<const trasso::SettingEntry*> entries) : watch(std::move(entries)) {}
  trasso::SettingsWatch watch;
};

using namespace trasso;

extern "C" {

JknStatus jkn_watch_open(const char* const* names, size_t count, JknWatch** watch) JKN_NOEXCEPT {
  try {
    if (watch == nullptr) return c::failed(JKN_MISUSE, "jkn_watch_open: watch is NULL");
    *watch = nullptr;
    std::vector<const SettingEntry*> entries;
    if (names == nullptr || count == 0) {
      for (const SettingEntry& e : settingsRegistry()) entries.push_back(&e);
    }
    for (size_t i = 0; names != nullptr && i < count; ++i) {
      if (names[i] == nullptr) {
        return c::failed(JKN_MISUSE, "jkn_watch_open: name " + std::to_string(i) + " of " +
                                         std::to_string(count) + " is NULL");
      }
      const SettingEntry* e = findSetting(names[i]);
      if (e == nullptr) return c::unknownSetting(names[i]);
      entries.push_back(e);
    }
    *watch = new JknWatch(std::move(entries));
    return JKN_OK;
  } catch (const WatchError& e) {
    return c::failed(JKN_IO_ERROR, "cannot watch the settings files: " + e.message +
                                       "; close other watches or raise the system's limit");
  } catch (...) {
    return c::outOfMemory();
  }
}

JknStatus jkn_watch_add_file(JknWatch* watch, const char* path) JKN_NOEXCEPT {
  try {
    if (watch == nullptr) return c::failed(JKN_MISUSE, "jkn_watch_add_file: watch is NULL");
    if (path == nullptr || *path == '\0') {
      return c::failed(JKN_MISUSE, "jkn_watch_add_file: the path is " +
                                       std::string(path ? "empty" : "NULL") +
                                       "; give the profile's file");
    }
    if (!watch->watch.addProfile(path)) {
      return c::failed(JKN_MISUSE, "jkn_watch_add_file: cannot watch " + text::shownPath(path) +
                                       ": no watched setting takes a profile path; open the "
                                       "watch with such a setting (or every setting)");
    }
    return JKN_OK;
  } catch (const WatchError& e) {
    return c::failed(JKN_IO_ERROR, "cannot watch " + text::shownPath(path) + ": " + e.message);
  } catch (...) {
    return c::outOfMemory();
  }
}

JknStatus jkn_watch_next(JknWatch* watch, int32_t timeout_ms, char* buffer, size_t capacity,
                         size_t* length) JKN_NOEXCEPT {
  try {
    if (watch == nullptr) return c::failed(JKN_MISUSE, "jkn_watch_next: watch is NULL");
    if (const JknStatus b = c::badBuffer("jkn_watch_next", buffer, capacity)) return b;
    const std::string* change = watch->watch.next(timeout_ms);
    if (change == nullptr) {
      return c::failed(JKN_TIMEOUT, "jkn_watch_next: no watched setting changed within " +
                                        std::to_string(timeout_ms) + " ms");
    }
    const size_t full = c::copyOut(*change, buffer, capacity);
    if (full < capacity) watch->watch.pop();  // one that does not fit stays for the next call
    if (length) *length = full;
    return JKN_OK;
  } catch (...) {
    return c::outOfMemory();
  }
}

intptr_t jkn_watch_descriptor(JknWatch* watch) JKN_NOEXCEPT {
  return watch != nullptr ? watch->watch.descriptor() : -1;
}

void jkn_watch_close(JknWatch* watch) JKN_NOEXCEPT { delete watch; }

}  // extern "C"
