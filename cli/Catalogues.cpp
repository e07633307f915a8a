// The catalogues and tools from the command line, through the library's own
// exported functions: antenna and sensor catalogue, NTRIP casters, coordinate
// zones, station names and geoid file versions. Texts are shown in UTF-8.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "SettingsFileIo.h"
#include "SettingsPaths.h"
#include "StoreFacts.h"
#include "Stored.h"
#include "TrassoJkn.h"
#include "Values.h"

namespace jkn {
namespace {

using nlohmann::json;

struct CatalogueOptions {
  bool json = false;
  int sensor = 0;
  std::string folder;
  std::string file;
  double value = 0;
  std::string prefix = "No.";
  int interval = 20;
  int decimals = 3;
  int rule = 0;
  int mode = 0;
};

void print(const json& j) {
  std::cout << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

// Where the antenna catalogue's files lie, as the library reads them.
trasso::facts::AntennaFiles antennaFiles() {
  trasso::facts::AntennaFiles files = trasso::facts::antennaFiles();
  for (std::string* path : {&files.types, &files.sensors, &files.merged}) {
    trasso::fileio::makeNative(*path);
  }
  return files;
}

std::string offsetText(double offset) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", offset);
  return text;
}

json antennaJson(int n, const QZ_AntennaRec& rec) {
  return json{{"entry", n},
              {"id", rec.ID},
              {"sensor", rec.Sensor},
              {"name", toUtf8(rec.Name)},
              {"code", toUtf8(rec.CharCode)},
              {"picture", toUtf8(rec.Bmp)},
              {"sensorPicture", toUtf8(rec.SensorBmp)},
              {"offset", rec.Offset}};
}

int antennaList(const CatalogueOptions& o) {
  json all = json::array();
  QZ_AntennaRec rec;
  for (int n = 0; GetAntennaRec(n, rec) == 1; ++n) all.push_back(antennaJson(n, rec));
  if (o.json) {
    print(all);
    return 0;
  }
  if (all.empty()) {
    std::cout << "the merged catalogue " << antennaFiles().merged
              << " holds no entry ('jkn antenna init' makes it)\n";
    return 0;
  }
  size_t nameWidth = 0;
  for (const json& a : all)
    nameWidth = std::max(nameWidth, displayWidth(a["name"].get<std::string>()));
  for (const json& a : all) {
    char head[48];
    std::snprintf(head, sizeof head, "%3d  id %3d  sensor %3d  ", a["entry"].get<int>(),
                  a["id"].get<int>(), a["sensor"].get<int>());
    std::cout << head << padRight(a["name"].get<std::string>(), nameWidth) << "  offset "
              << offsetText(a["offset"].get<double>());
    if (!a["sensorPicture"].get<std::string>().empty()) {
      std::cout << "  " << a["sensorPicture"].get<std::string>();
    }
    std::cout << "\n";
  }
  return 0;
}

int antennaInit(const CatalogueOptions& o) {
  const trasso::facts::AntennaFiles before = antennaFiles();
  struct stat st {};
  const bool hadMerged = ::stat(before.merged.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  const int result = AntennaInit();
  int entries = 0;
  QZ_AntennaRec rec;
  while (GetAntennaRec(entries, rec) == 1) ++entries;
  const trasso::facts::AntennaFiles files = antennaFiles();
  if (o.json) {
    print(json{{"result", result}, {"file", files.merged}, {"entries", entries}});
  } else if (result == 1) {
    std::cout << "wrote " << files.merged << ": " << entries << " entries from " << files.types
              << " and " << files.sensors << "\n";
  } else {
    std::cout << "no entry: " << files.sensors << " is missing or lists no sensor; " << files.merged
              << (hadMerged ? " removed\n" : " not made\n");
  }
  return result == 1 ? 0 : 1;
}

int sensor(const CatalogueOptions& o) {
  std::string picture;
  int antenna = -1;
  double offset = 0.0;
  const int found = GetGNSSSensorBmp(o.sensor, picture, &antenna, &offset);
  std::string name;
  QZ_AntennaRec rec;
  for (int n = 0; antenna >= 0 && GetAntennaRec(n, rec) == 1; ++n) {
    if (rec.ID == antenna && rec.Sensor == o.sensor) {
      name = toUtf8(rec.Name);
      break;
    }
  }
  if (o.json) {
    print(json{{"sensor", o.sensor},
               {"found", found == 1},
               {"picture", toUtf8(picture)},
               {"antenna", antenna},
               {"antennaName", name},
               {"offset", offset}});
  } else if (found != 1) {
    std::cout << "sensor " << o.sensor << " is not in the merged catalogue: picture "
              << toUtf8(picture) << ", no antenna\n";
  } else {
    // The entry may name no picture: say so rather than print nothing.
    std::cout << "sensor " << o.sensor << ": "
              << (picture.empty() ? "no picture" : "picture " + toUtf8(picture));
    if (antenna >= 0) {
      std::cout << ", antenna " << antenna << " " << name << " (offset " << offsetText(offset)
                << ")\n";
    } else {
      std::cout << ", no antenna type\n";
    }
  }
  return found == 1 ? 0 : 1;
}

int ntripList(const CatalogueOptions& o) {
  json all = json::array();
  const int count = GetNTrip_Co_Cnt();
  for (int i = 0; i < count && i < 65535; ++i) {
    CompanyRec co;
    const int usable = GetNTrip_Co_Info(static_cast<uint16_t>(i), &co);
    const auto pn = static_cast<uint8_t>(i + 1);
    json provider{
        {"provider", i + 1},    {"name", toUtf8(co.Name)}, {"address", toUtf8(co.Address)},
        {"index", co.Index},    {"sct", co.Sct},           {"ports", co.Ports},
        {"usable", usable == 1}};
    for (const auto& [kind, word] : {std::pair<uint8_t, const char*>{1, "vrs"}, {2, "rrs"}}) {
      json streams = json::array();
      const int n = GetNTrip_Protcol_Cnt(pn, kind);
      for (int e = 0; e < n && e < 65535; ++e) {
        NTripRec s;
        const int ok = GetNTrip_Protocol_Info(pn, kind, static_cast<uint16_t>(e), &s);
        streams.push_back(json{{"entry", e},
                               {"id", s.Id},
                               {"name", toUtf8(s.NText)},
                               {"mount", toUtf8(s.MText)},
                               {"x", s.XValue},
                               {"usable", ok == 1}});
      }
      provider[word] = streams;
    }
    all.push_back(provider);
  }
  if (o.json) {
    print(all);
    return 0;
  }
  if (all.empty()) {
    std::cout << "no provider in "
              << trasso::fileio::nativePath(trasso::SettingsFilePath(trasso::SettingsFile::NTrip))
              << "\n";
  }
  // Columns by display width: names and mounts are often Japanese.
  size_t widths[4] = {0, 0, 0, 0};  // provider name, address, stream name, stream id
  for (const json& p : all) {
    widths[0] = std::max(widths[0], displayWidth(p["name"].get<std::string>()));
    widths[1] = std::max(widths[1], displayWidth(p["address"].get<std::string>()));
    for (const char* word : {"vrs", "rrs"}) {
      for (const json& s : p[word]) {
        widths[2] = std::max(widths[2], displayWidth(s["name"].get<std::string>()));
        widths[3] = std::max(widths[3], std::to_string(s["id"].get<int>()).size());
      }
    }
  }
  for (const json& p : all) {
    std::cout << padRight(std::to_string(p["provider"].get<int>()), 3) << " "
              << padRight(p["name"].get<std::string>(), widths[0]) << "  "
              << padRight(p["address"].get<std::string>(), widths[1]) << "  ports";
    for (const json& port : p["ports"]) std::cout << " " << port.get<int>();
    std::cout << (p["usable"].get<bool>() ? "" : "  (not usable: needs index, address and port)")
              << "\n";
    for (const char* word : {"vrs", "rrs"}) {
      for (const json& s : p[word]) {
        std::cout << "    " << word << " "
                  << padRight(std::to_string(s["id"].get<int>()), widths[3]) << "  "
                  << padRight(s["name"].get<std::string>(), widths[2]) << "  "
                  << s["mount"].get<std::string>()
                  << (s["usable"].get<bool>() ? "" : "  (not usable)") << "\n";
      }
    }
  }
  return 0;
}

int zones(const CatalogueOptions& o) {
  // A folder that is not there holds no selection: say so, mark nothing.
  const std::string typed = nativeForm(o.folder);
  const std::string folder = trasso::fileio::nativePath(typed);
  if (!o.folder.empty() && !isFolder(folder)) {
    std::cerr << "jkn: folder " << shownPath(folder) << " does not exist\n";
    return kFileError;
  }
  const uint16_t selected = GetHmnZaKei(typed.c_str());
  json all = json::array();
  for (int i = 0; i < GetHmnZaKeiCnt(); ++i) {
    uint16_t number = 0;
    std::string name;
    GetHmnZaKeiInfo(i, number, name);
    all.push_back(json{{"number", number}, {"name", toUtf8(name)}});
  }
  if (o.json) {
    print(json{{"selected", selected}, {"zones", all}});
    return 0;
  }
  for (const json& z : all) {
    std::cout << (z["number"] == selected ? "* " : "  ") << z["name"].get<std::string>() << "\n";
  }
  if (selected < 1 || selected > 19) {
    std::cout << "the stored zone " << selected << " is none of the 19\n";
  }
  return 0;
}

int stationName(const CatalogueOptions& o) {
  const std::optional<std::string> prefix = toCp932(o.prefix);
  if (!prefix) {
    std::cerr << "jkn: prefix '" << o.prefix << "' cannot be written in code page 932\n";
    return 2;
  }
  const std::string name = toUtf8(
      QZJknTool_MakeNoName(o.mode, o.value, prefix->c_str(), static_cast<uint16_t>(o.interval),
                           static_cast<int16_t>(o.decimals), static_cast<int16_t>(o.rule)));
  if (o.json) {
    print(json{{"value", o.value}, {"name", name}});
  } else {
    std::cout << name << "\n";
  }
  return 0;
}

int geoidVersion(const CatalogueOptions& o) {
  const std::string file = nativeForm(o.file);
  const bool isg = QZJknTool_IsGeoidFileISG(file.c_str());
  const std::string version = toUtf8(QZJknTool_GetGeoidFileVer(file.c_str()));
  if (o.json) {
    print(json{{"file", o.file}, {"isg", isg}, {"version", version}});
  } else if (version.empty()) {
    std::cout << o.file << ": no version found\n";
  } else {
    std::cout << version << (isg ? " (ISG)" : " (text grid)") << "\n";
  }
  return version.empty() ? 1 : 0;
}

constexpr const char* kUsageStatus = "  2  usage: unknown option, a word missing or out of range\n";

// A subcommand with --json whose callback runs f and ends the program; its
// exit statuses after 0 (done) are `statuses`.
CLI::App* command(CLI::App& parent, const char* name, const char* help,
                  const std::shared_ptr<CatalogueOptions>& o, int (*f)(const CatalogueOptions&),
                  const std::string& statuses = kUsageStatus) {
  CLI::App* c = parent.add_subcommand(name, help);
  c->footer("Exit status:\n  0  done\n" + statuses);
  c->add_flag("--json", o->json, "Print JSON");
  c->callback([o, f] { finish(f(*o)); });
  return c;
}

}  // namespace

void addCatalogueCommands(CLI::App& app) {
  auto o = std::make_shared<CatalogueOptions>();
  CLI::App* antenna = app.add_subcommand("antenna", "The GNSS antenna catalogue");
  antenna->require_subcommand(1);
  command(*antenna, "init",
          "Rebuild AntennaLocal.ini (root 0) from Antenna.ini and AntennaSensor.ini (root 1)", o,
          antennaInit,
          "  1  no entry: AntennaSensor.ini is missing or lists no sensor; AntennaLocal.ini\n"
          "     is removed or not made\n" +
              std::string(kUsageStatus));
  command(*antenna, "list", "The entries of the merged catalogue", o, antennaList);
  command(app, "sensor",
          "The picture and antenna the application chooses for a sensor number (exit 1: none)", o,
          sensor,
          "  1  the sensor is not in the merged catalogue (the picture it falls back to)\n" +
              std::string(kUsageStatus))
      ->add_option("N", o->sensor, "Sensor number")
      ->required();
  CLI::App* ntrip = app.add_subcommand("ntrip", "The NTRIP caster catalogue (NTrip.ini, root 1)");
  ntrip->require_subcommand(1);
  command(*ntrip, "list", "Every provider with its ports and streams", o, ntripList);
  command(app, "zones", "The 19 coordinate zones; '*' marks the one selected in FOLDER", o, zones,
          kUsageStatus + std::string("  3  FOLDER does not exist\n"))
      ->add_option("FOLDER", o->folder, "Folder of HmnZaKei.ini")
      ->required();
  CLI::App* station =
      command(app, "station-name", "The station name of a running value (No.12+ 5.000 for 245)", o,
              stationName,
              "  2  usage: unknown option, a word missing or out of range, a prefix that has\n"
              "     no code page 932 form\n");
  station->add_option("VALUE", o->value, "Running value")->required();
  station->add_option("--interval", o->interval, "Station interval (20)")
      ->check(CLI::Range(1, 65535));
  station->add_option("--prefix", o->prefix, "Prefix (\"No.\")");
  station->add_option("--decimals", o->decimals, "Decimals (3)")->check(CLI::Range(0, 9));
  station->add_option("--rule", o->rule,
                      "Rounding: 0 half away from zero, 1 cut, 2 up, 3 half to even (0)");
  station
      ->add_option("--mode", o->mode,
                   "0 full name, 1 number or remainder, 2 the value, 3 empty (0)")
      ->check(CLI::Range(0, 3));
  command(app, "geoid-version", "The version of a geoid file, ISG or text grid (exit 1: none)", o,
          geoidVersion, "  1  no version found in FILE\n" + std::string(kUsageStatus))
      ->add_option("FILE", o->file, "Geoid file")
      ->required();
}

}  // namespace jkn
