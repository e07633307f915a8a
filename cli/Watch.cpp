// jkn watch: each change of the settings as it happens, through the library's
// watch (jkn_watch_*), until a stop signal ends it.
#include <CLI/CLI.hpp>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "Console.h"
#include "Registry.h"
#include "TrassoJknC.h"
#include "Values.h"

namespace jkn {
namespace {

struct WatchOptions {
  std::vector<std::string> names;
  std::vector<std::string> profiles;
  bool json = false;
};

// Ctrl-C is how a watch ends: every change is out by then (each line is flushed).
void onStop(int) { std::_Exit(kOk); }

std::string lastError() {
  char text[1024];
  const size_t n = jkn_last_error(text, sizeof text);
  return std::string(text, std::min(n, sizeof text - 1));
}

// The settings the words name: a setting, or every setting of an area.
std::vector<const char*> namedSettings(const std::vector<std::string>& words) {
  std::vector<const char*> out;
  for (const std::string& w : words) {
    if (const trasso::SettingEntry* e = trasso::findSetting(w)) {
      out.push_back(e->name);
      continue;
    }
    const size_t before = out.size();
    for (const trasso::SettingEntry& e : trasso::settingsRegistry()) {
      if (lower(trasso::areaOf(e)) == lower(w)) out.push_back(e.name);
    }
    if (out.size() > before) continue;
    std::string message = "'" + w +
                          "' is no setting and no area (GNSS, NMEA, TS, ZETR, PL30, "
                          "Soku, Display)";
    const std::vector<std::string> near = closestNames(w);
    for (size_t i = 0; i < near.size(); ++i) message += (i == 0 ? "; closest: " : " ") + near[i];
    throw Failure{kUsage, message};
  }
  return out;
}

// Local time with milliseconds: "14:03:07.250".
std::string timeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  std::tm local{};
  const std::tm* t = std::localtime(&seconds);
  if (t != nullptr) local = *t;
  char text[32];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  const int milli = static_cast<int>(ms.count() % 1000);
  return text + std::string(milli < 100 ? (milli < 10 ? ".00" : ".0") : ".") +
         std::to_string(milli);
}

std::string shown(const nlohmann::json& v) {
  if (v.is_null()) return "(the caller's default)";
  return v.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

int watch(const WatchOptions& o) {
  const std::vector<const char*> names = namedSettings(o.names);
  JknWatch* w = nullptr;
  auto failed = [&](JknStatus s) {
    jkn_watch_close(w);
    return Failure{s == JKN_MISUSE ? kUsage : kIoError, lastError()};
  };
  if (const JknStatus s = jkn_watch_open(names.data(), names.size(), &w)) throw failed(s);
  for (const std::string& p : o.profiles) {
    if (const JknStatus s = jkn_watch_add_file(w, p.c_str())) throw failed(s);
  }
  for (const StopSignal& k : stopSignals()) std::signal(k.number, onStop);
  std::cerr << "jkn: watching "
            << (names.empty()         ? "every setting"
                : o.names.size() == 1 ? o.names[0]
                                      : "the settings named")
            << "; Ctrl-C ends" << std::endl;
  std::string text(1024, '\0');
  for (;;) {
    size_t length = 0;
    const JknStatus s = jkn_watch_next(w, -1, text.data(), text.size(), &length);
    if (s == JKN_TIMEOUT) continue;
    if (s != JKN_OK) throw failed(s);
    if (length >= text.size()) {  // kept for the next call, which has room
      text.resize(length + 1);
      continue;
    }
    nlohmann::ordered_json change = nlohmann::ordered_json::parse(text.substr(0, length));
    const std::string time = timeNow();
    if (o.json) {
      nlohmann::ordered_json line = {{"time", time}};
      line.update(change);
      std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
      continue;
    }
    std::string setting = change["name"].get<std::string>();
    if (change["selector"].is_string()) setting += " " + change["selector"].get<std::string>();
    std::cout << time << "  " << padRight(setting, 32) << "  " << shown(change["old"]) << " -> "
              << shown(change["new"]) << "  "
              << (change["file"].is_string() ? change["file"].get<std::string>()
                                             : shown(change["file"]))
              << std::endl;
  }
}

}  // namespace

void addWatchCommand(CLI::App& app) {
  auto o = std::make_shared<WatchOptions>();
  CLI::App* c = app.add_subcommand(
      "watch",
      "Each change of the settings as it happens, whoever writes it (time, setting,\n"
      "old -> new, file), until Ctrl-C");
  c->add_option("NAME|AREA", o->names, "Only these settings, or the settings of an area");
  c->add_option("--profile", o->profiles, "Watch this profile file too (repeatable)");
  c->add_flag("--json", o->json, "One JSON object per change and line");
  c->footer(
      "Exit status:\n  0  ended by Ctrl-C\n  2  usage: unknown setting or area\n"
      "  7  the system gave no watch\n");
  c->callback([o] { finish(guarded([&] { return watch(*o); })); });
}

}  // namespace jkn
