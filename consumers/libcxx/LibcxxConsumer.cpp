// A C++17 program over TrassoJkn.h built with clang++ and libc++, linked
// against the library built with g++ and libstdc++: only the C interface
// crosses between the two standard libraries, so std::string results and
// records must come through whole. In fresh roots of its own it walks every
// setting, writes through the C++ functions and checks the settings files byte
// for byte. Prints one line per failed check and exits with 1 when any failed.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TrassoJkn.h"

#ifndef _LIBCPP_VERSION
#error "this program checks the library from libc++: build it with -stdlib=libc++"
#endif

namespace {

namespace fs = std::filesystem;

std::string section;
int failures = 0;

// The bytes as a quoted text, line breaks and bytes outside ASCII escaped.
std::string shown(const std::string& bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20 || u >= 0x7F || c == '"' || c == '\\') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void check(const std::string& what, bool ok) {
  if (!ok) {
    ++failures;
    std::cout << "FAIL [" << section << "] " << what << "\n";
  }
}

void checkText(const std::string& what, const std::string& got, const std::string& want) {
  if (got != want) {
    ++failures;
    std::cout << "FAIL [" << section << "] " << what << ": got " << shown(got) << ", expected "
              << shown(want) << "\n";
  }
}

template <class T>
void checkNumber(const std::string& what, T got, T want) {
  if (got != want) {
    ++failures;
    std::cout << "FAIL [" << section << "] " << what << ": got " << got << ", expected " << want
              << "\n";
  }
}

void checkStatus(const std::string& what, JknStatus got, JknStatus want) {
  if (got != want) {
    ++failures;
    std::cout << "FAIL [" << section << "] " << what << ": got " << jkn_status_text(got)
              << ", expected " << jkn_status_text(want) << "\n";
  }
}

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Two fresh roots with their "inf" folders, named by the variables the library
// reads. A section that failed leaves its files to look at.
class Roots {
 public:
  Roots() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/trasso-libcxx-XXXXXX";
    if (::mkdtemp(&pattern[0]) == nullptr) {
      check("fresh roots made", false);
      std::exit(1);
    }
    base_ = pattern;
    for (int n = 0; n < 2; ++n) {
      fs::create_directories(root(n) / "inf");
      ::setenv(("KORVEL_APPDATA_" + std::to_string(n)).c_str(), root(n).c_str(), 1);
    }
  }
  Roots(const Roots&) = delete;
  Roots& operator=(const Roots&) = delete;
  ~Roots() {
    if (failuresBefore_ != failures) {
      std::cout << "[" << section << "] files kept in " << base_.string() << "\n";
      return;
    }
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  fs::path root(int n) const { return base_ / ("root" + std::to_string(n)); }
  fs::path inf(const std::string& name, int n = 0) const { return root(n) / "inf" / name; }

  // Every file of both "inf" folders, by name.
  std::map<std::string, std::string> files() const {
    std::map<std::string, std::string> all;
    for (int n = 0; n < 2; ++n) {
      for (const auto& entry : fs::directory_iterator(root(n) / "inf")) {
        all[std::to_string(n) + "/" + entry.path().filename().string()] = readBytes(entry.path());
      }
    }
    return all;
  }

 private:
  fs::path base_;
  const int failuresBefore_ = failures;
};

// The value of a setting by name; the status goes to *status when given.
std::string byName(const char* name, const char* selector, JknStatus* status = nullptr) {
  size_t length = 0;
  JknStatus s = jkn_get(name, selector, nullptr, 0, &length);
  std::string value(length + 1, '\0');
  if (s == JKN_OK) s = jkn_get(name, selector, &value[0], value.size(), &length);
  value.resize(s == JKN_OK ? length : 0);
  if (status) *status = s;
  return value;
}

// Entries, items and file ids need a selector; "0" is one of each.
const char* selectorOf(const char* name) {
  JknStatus s;
  byName(name, nullptr, &s);
  return s == JKN_BAD_SELECTOR ? "0" : nullptr;
}

std::string number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

// A fresh store by name and through the C++ getters, then every setting
// written back as read, rewritten unchanged and reset.
void walk() {
  const Roots roots;
  struct Fresh {
    const char* name;
    const char* selector;
    std::string byName;  // jkn_get's text
    std::function<std::string()> cpp;
    std::string cppValue;  // the C++ getter's value, as cpp shows it
  };
  const Fresh fresh[] = {
      {"GNSS_MaskElev", "plain", "15", [] { return std::to_string(GetQZJkn_GNSS_MaskElev(0)); },
       "15"},
      {"GNSS_MaskElev", "svy", "15", [] { return std::to_string(GetQZJkn_GNSS_MaskElev(1)); },
       "15"},
      {"GNSS_NTripP", nullptr, "1104", [] { return std::to_string(GetQZJkn_GNSS_NTripP()); },
       "1104"},
      {"GNSS_Address", nullptr, "", [] { return GetQZJkn_GNSS_Address(); }, ""},
      {"NMEA_BaudRate", nullptr, "19200", [] { return std::to_string(GetQZJkn_NMEA_BaudRate()); },
       "19200"},
      {"NMEA_COMM_or_BT", nullptr, "1", [] { return std::to_string(GetQZJkn_NMEA_COMM_or_BT()); },
       "1"},
      {"TS_UseScaleValue", nullptr, "1", [] { return number(GetQZJkn_TS_UseScaleValue()); }, "1"},
      {"TS_Psm", "7", "-000mm\x81\x46(\x96\xbc\x91\x4f\x8e\x77\x92\xe8\x82\xc8\x82\xb5)",
       [] { return GetQZJkn_TS_Psm(7); },
       "-000mm\x81\x46(\x96\xbc\x91\x4f\x8e\x77\x92\xe8\x82\xc8\x82\xb5)"},
      {"PL30_Sch_HRangeRad", nullptr, "0.03490658503988659",
       [] { return number(GetQZJkn_PL30_Sch_HRangeRad(nullptr)); }, "0.034906585039886591"},
      // Colours: the C++ getter's 0x00BBGGRR.
      {"LogColor", nullptr, "128,128,255", [] { return std::to_string(GetQZJkn_LogColor()); },
       "16744576"},
      {"Use", "13", "1", [] { return std::to_string(GetQZJkn_Use(0, 13)); }, "1"},
      {"RecMax", nullptr, "0", [] { return std::to_string(GetQZJkn_RecMax()); }, "0"},
  };
  for (const Fresh& row : fresh) {
    JknStatus s;
    const std::string what = std::string(row.name) + " " + (row.selector ? row.selector : "");
    checkText(what + " by name", byName(row.name, row.selector, &s), row.byName);
    checkStatus(what + " by name", s, JKN_OK);
    checkText(what + " through C++", row.cpp(), row.cppValue);
  }

  const size_t count = jkn_setting_count();
  check("the registry lists settings", count > 100);
  check("no name past the end", jkn_setting_name(count) == nullptr);
  std::vector<std::string> before(count);
  for (size_t i = 0; i < count; ++i) {
    JknStatus s;
    before[i] = byName(jkn_setting_name(i), selectorOf(jkn_setting_name(i)), &s);
    checkStatus(std::string("get ") + jkn_setting_name(i), s, JKN_OK);
  }
  checkNumber("files made by reading every setting", roots.files().size(), size_t{0});

  for (size_t i = 0; i < count; ++i) {
    const char* name = jkn_setting_name(i);
    const char* selector = selectorOf(name);
    const std::string what = name + std::string(selector ? " 0" : "");
    const JknStatus s = jkn_set(name, selector, before[i].c_str());
    if (s == JKN_NOT_SETTABLE) {
      checkStatus("reset " + what, jkn_reset(name, selector), JKN_NOT_SETTABLE);
      continue;
    }
    checkStatus("set " + what + " to the text it read", s, JKN_OK);
    // A value as written may be shorter (doubles keep their decimals); written
    // again it changes nothing.
    const std::string written = byName(name, selector);
    const auto files = roots.files();
    checkStatus("set " + what + " again", jkn_set(name, selector, written.c_str()), JKN_OK);
    checkText("value of " + what + " set again", byName(name, selector), written);
    check("files unchanged by setting " + what + " again", roots.files() == files);
    checkStatus("reset " + what, jkn_reset(name, selector), JKN_OK);
    checkText("value of " + what + " after the reset", byName(name, selector), before[i]);
  }
}

// std::string results, from short texts to ones past the wrapper's first buffer.
void texts() {
  const Roots roots;
  const fs::path gnss = roots.inf("jkn-gnss.ini");
  // "Chiyoda, Tokyo" in code page 932.
  const std::string address = "\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6";
  PutQZJkn_GNSS_Address(address.c_str());
  checkText("GetQZJkn_GNSS_Address", GetQZJkn_GNSS_Address(), address);
  checkText("jkn-gnss.ini", readBytes(gnss), "[GNSS]\r\nAddress=" + address + "\r\n");

  // Longer than the wrapper's 256-byte first try; the store reads 259 bytes.
  for (const size_t n : {size_t{255}, size_t{256}, size_t{258}, size_t{259}, size_t{300}}) {
    std::string text;
    for (size_t i = 0; i < n; ++i) text += static_cast<char>('A' + i % 26);
    PutQZJkn_GNSS_Address(text.c_str());
    const std::string what = std::to_string(n) + " bytes";
    checkText("GetQZJkn_GNSS_Address of " + what, GetQZJkn_GNSS_Address(), text.substr(0, 259));
    checkText("jkn-gnss.ini with " + what, readBytes(gnss), "[GNSS]\r\nAddress=" + text + "\r\n");
  }
  PutQZJkn_GNSS_Address(nullptr);
  checkText("GetQZJkn_GNSS_Address after a null text", GetQZJkn_GNSS_Address(), "");
  checkText("jkn-gnss.ini after a null text", readBytes(gnss), "[GNSS]\r\n");

  // A std::string in and out: replaced, and grown past its first buffer.
  const std::string serial(200, 'S');
  PutQZJkn_GNSS_StaCurrentAntenna(5, 1.25, serial.c_str());
  int id = 0;
  double height = 0;
  std::string read = "stale";
  GetQZJkn_GNSS_StaCurrentAntenna(id, height, read);
  checkNumber("antenna id", id, 5);
  checkNumber("antenna height", height, 1.25);
  checkText("antenna serial number", read, serial);
  PutQZJkn_GNSS_StaCurrentReceiver(9, "RX-1");
  GetQZJkn_GNSS_StaCurrentReceiver(id, read);
  checkNumber("receiver id", id, 9);
  checkText("receiver serial number", read, "RX-1");
  checkText("jkn-gnss.ini with the station", readBytes(gnss),
            "[GNSS]\r\nAntenna_sta=5\r\nAntennaH_sta=1.2500000000\r\naSerialNo_sta=" + serial +
                "\r\nReceiver_sta=9\r\nrSerialNo_sta=RX-1\r\n");

  std::string btAddress = "stale";
  uint32_t port = 77;
  GetQZJkn_NMEA_BtInfo(btAddress, port);
  checkText("Bluetooth address of a fresh store", btAddress, "");
  checkNumber("Bluetooth port of a fresh store", port, 0u);
  check("no jkn-nmea.ini made by reading", !fs::exists(roots.inf("jkn-nmea.ini")));
  checkText("GetQZInf_Path(1)", GetQZInf_Path(1), roots.root(1).string() + "\\inf\\");
}

void checkRecord(const std::string& what, const RTK_CONNECT_PROP& got,
                 const RTK_CONNECT_PROP& want) {
  const auto fields = [](const RTK_CONNECT_PROP& p) {
    return std::to_string(p.Radio) + "," + std::to_string(p.Hosei) + "," +
           std::to_string(p.FlowCTS) + "," + std::to_string(p.PortNo) + "," +
           std::to_string(p.BaudRate) + "," + std::to_string(p.Parity);
  };
  checkText(what, fields(got), fields(want));
}

// The RTK radio record: three keys shared by both sides, three of each side.
void record() {
  const Roots roots;
  const fs::path file = roots.inf("jkn-gnss-rtk.ini");
  const RTK_CONNECT_PROP defaults{};
  RTK_CONNECT_PROP read{77, 77, 77, 77, 77, 77};
  GetQZJkn_GNSS_RTKConnectProp(1, read);
  checkRecord("side 1 of a fresh store", read, defaults);
  check("no jkn-gnss-rtk.ini made by reading", !fs::exists(file));

  const RTK_CONNECT_PROP s{1, 3, 0, 5, 4800, 2}, r{-2, 4, 1, 7, 4294967295u, 255};
  PutQZJkn_GNSS_RTKConnectProp(1, s);
  checkText("jkn-gnss-rtk.ini", readBytes(file),
            "[GNSS]\r\nRTKRadio=1\r\nRTKHosei=3\r\nRTKFlowCTS=0\r\nRTKPortNoS=5\r\n"
            "RTKBaudRateS=4800\r\nRTKParityS=2\r\n");
  PutQZJkn_GNSS_RTKConnectProp(0, r);
  checkText("jkn-gnss-rtk.ini", readBytes(file),
            "[GNSS]\r\nRTKRadio=-2\r\nRTKHosei=4\r\nRTKFlowCTS=1\r\nRTKPortNoS=5\r\n"
            "RTKBaudRateS=4800\r\nRTKParityS=2\r\nRTKPortNoR=7\r\nRTKBaudRateR=4294967295\r\n"
            "RTKParityR=255\r\n");
  GetQZJkn_GNSS_RTKConnectProp(0, read);
  checkRecord("side 0", read, r);
  GetQZJkn_GNSS_RTKConnectProp(1, read);
  checkRecord("side 1 (shared keys of side 0)", read, RTK_CONNECT_PROP{-2, 4, 1, 5, 4800, 2});
}

// A validating setter: false and nothing written outside its range.
void validatingSetter() {
  const Roots roots;
  const std::string profile = roots.inf("survey-7.ini").string();
  check("PutQZJkn_ZETR_Npr_Value 100", !PutQZJkn_ZETR_Npr_Value(profile.c_str(), 100));
  check("no profile made by a refused value", !fs::exists(profile));
  check("PutQZJkn_ZETR_Npr_Value 42", PutQZJkn_ZETR_Npr_Value(profile.c_str(), 42));
  check("PutQZJkn_ZETR_Npr_Value 0", !PutQZJkn_ZETR_Npr_Value(profile.c_str(), 0));
  checkNumber("GetQZJkn_ZETR_Npr_Value", GetQZJkn_ZETR_Npr_Value(profile.c_str()), 42);
  checkText(profile, readBytes(profile), "[NPR]\r\nVAL=42\r\n");
}

// What a C++ caller learns through the C interface from libc++: the version,
// a message that crosses as a caller buffer, a setting described.
void caller() {
  const Roots roots;
  checkText("jkn_version", jkn_version(),
            std::to_string(TRASSOJKN_VERSION_MAJOR) + "." +
                std::to_string(TRASSOJKN_VERSION_MINOR) + "." +
                std::to_string(TRASSOJKN_VERSION_PATCH));
  const std::string address(300, 'A');
  checkStatus("jkn_PutQZJkn_GNSS_Address of 300 bytes", jkn_PutQZJkn_GNSS_Address(address.c_str()),
              JKN_READS_BACK_ALTERED);
  std::string message(jkn_last_error(nullptr, 0), '\0');
  jkn_last_error(&message[0], message.size() + 1);
  const std::string expected = "(the getter reads at most 259 bytes); give a value";
  check("jkn_last_error: " + message, message.find(expected) != std::string::npos);
  checkText("GetQZJkn_GNSS_Address", GetQZJkn_GNSS_Address(), address.substr(0, 259));
  checkStatus("jkn_set of the same text", jkn_set("GNSS_Address", nullptr, address.c_str()),
              JKN_BAD_VALUE);
  size_t length = 0;
  checkStatus("jkn_describe", jkn_describe("NMEA_BaudRate", nullptr, 0, &length), JKN_OK);
  std::string json(length, '\0');
  jkn_describe("NMEA_BaudRate", &json[0], length + 1, nullptr);
  check("jkn_describe NMEA_BaudRate: " + json,
        json.find("\n  \"type\": \"uint32\",\n  \"default\": 19200,\n") != std::string::npos);
}

}  // namespace

int main() {
  const std::pair<const char*, void (*)()> sections[] = {{"walk", walk},
                                                         {"texts", texts},
                                                         {"record", record},
                                                         {"validating setter", validatingSetter},
                                                         {"caller", caller}};
  for (const auto& [name, run] : sections) {
    section = name;
    run();
  }
  if (failures) {
    std::cout << failures << " failed checks\n";
    return 1;
  }
  std::cout << "all checks passed\n";
  return 0;
}
