// Functions that read or write several keys of one file do so in one piece:
// one read of the file, one replacement of it. A reader polling a record while
// another thread rewrites it sees one whole record or the other, never a mix.
#include <atomic>
#include <functional>
#include <sstream>
#include <thread>

#include "FileSystemSeam.h"
#include "Ini.h"
#include "Introspection.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

// A record function pair: write(0) and write(1) store two records that differ
// in every field; read() shows the fields as read back.
struct Record {
  const char* name;
  std::function<void(const std::string& profile, int which)> write;
  std::function<std::string(const std::string& profile)> read;
  const char* shown[2];
};

template <class... T>
std::string show(const T&... fields) {
  std::ostringstream out;
  ((out << fields << ' '), ...);
  return out.str();
}

const Record kRecords[] = {
    {"RTKConnectProp",
     [](const std::string&, int w) {
       PutQZJkn_GNSS_RTKConnectProp(1, w == 0 ? RTK_CONNECT_PROP{1, 3, 0, 4, 19200, 2}
                                              : RTK_CONNECT_PROP{5, 6, 1, 7, 38400, 1});
     },
     [](const std::string&) {
       RTK_CONNECT_PROP p;
       GetQZJkn_GNSS_RTKConnectProp(1, p);
       return show(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, int{p.Parity});
     },
     {"1 3 0 4 19200 2 ", "5 6 1 7 38400 1 "}},
    {"StaCurrentAntenna",
     [](const std::string&, int w) {
       PutQZJkn_GNSS_StaCurrentAntenna(w + 3, w + 1.5, w == 0 ? "A-1" : "B-2");
     },
     [](const std::string&) {
       int id = 0;
       double height = 0;
       std::string serial;
       GetQZJkn_GNSS_StaCurrentAntenna(id, height, serial);
       return show(id, height, serial);
     },
     {"3 1.5 A-1 ", "4 2.5 B-2 "}},
    {"StaCurrentReceiver",
     [](const std::string&, int w) { PutQZJkn_GNSS_StaCurrentReceiver(w + 8, w ? "R-2" : "R-1"); },
     [](const std::string&) {
       int id = 0;
       std::string serial;
       GetQZJkn_GNSS_StaCurrentReceiver(id, serial);
       return show(id, serial);
     },
     {"8 R-1 ", "9 R-2 "}},
    {"NMEA_BtInfo",
     [](const std::string&, int w) { PutQZJkn_NMEA_BtInfo(w ? "00:1B" : "00:1A", w + 2u); },
     [](const std::string&) {
       std::string address;
       uint32_t port = 0;
       GetQZJkn_NMEA_BtInfo(address, port);
       return show(address, port);
     },
     {"00:1A 2 ", "00:1B 3 "}},
    {"TS_ZETRBtRadio",
     [](const std::string&, int w) { PutQZJkn_TS_ZETRBtRadio(w, w + 4, w + 6); },
     [](const std::string&) {
       bool use = false;
       int channel = 0, network = 0;
       GetQZJkn_TS_ZETRBtRadio(use, channel, network);
       return show(use, channel, network);
     },
     {"0 4 6 ", "1 5 7 "}},
    {"TS_AutoLoad_Ex",
     [](const std::string&, int w) {
       PutQZJkn_TS_AutoLoad_Ex(w, w + 10u, w + 20u, w + 0.5, w + 1);
     },
     [](const std::string&) {
       uint32_t kno = 0, bno = 0;
       double kh = 0;
       int pane = 0;
       const int on = GetQZJkn_TS_AutoLoad_Ex(&kno, &bno, &kh, &pane);
       return show(on, kno, bno, kh, pane);
     },
     {"0 10 20 0.5 1 ", "1 11 21 1.5 2 "}},
    {"ZETR_Dst_CentigradePress",
     [](const std::string& p, int w) {
       PutQZJkn_ZETR_Dst_CentigradePress(p.c_str(), w + 10.0, w + 900.0);
     },
     [](const std::string& p) {
       double t = 0, h = 0;
       GetQZJkn_ZETR_Dst_CentigradePress(p.c_str(), t, h);
       return show(t, h);
     },
     {"10 900 ", "11 901 "}},
    {"PL30_Dst_CentigradePress",
     [](const std::string& p, int w) {
       PutQZJkn_PL30_Dst_CentigradePress(p.c_str(), w - 10.0, w + 600.0);
     },
     [](const std::string& p) {
       double t = 0, h = 0;
       GetQZJkn_PL30_Dst_CentigradePress(p.c_str(), t, h);
       return show(t, h);
     },
     {"-10 600 ", "-9 601 "}},
    {"ZETR_Npr_RangeValue",
     [](const std::string& p, int w) { PutQZJkn_ZETR_Npr_RangeValue(p.c_str(), w + 5, w + 50); },
     [](const std::string& p) {
       int low = 0, high = 0;
       GetQZJkn_ZETR_Npr_RangeValue(p.c_str(), low, high);
       return show(low, high);
     },
     {"5 50 ", "6 51 "}},
    {"ZETR_Sch_HVRangeRad",
     [](const std::string& p, int w) {
       PutQZJkn_ZETR_Sch_HVRangeRad(p.c_str(), w + 0.25, w + 2.5);
     },
     [](const std::string& p) {
       double h = 0, v = 0;
       GetQZJkn_ZETR_Sch_HVRangeRad(p.c_str(), h, v);
       return show(h, v);
     },
     {"0.25 2.5 ", "1.25 3.5 "}},
};

// Rows print as their name.
void PrintTo(const Record& r, std::ostream* out) { *out << r.name; }

class Records : public RootsTest, public ::testing::WithParamInterface<Record> {
 protected:
  std::string profile() const { return inf("profile.ini"); }
};

// Each record is one replacement of its file and one read of it, and reads
// back as written.
TEST_P(Records, AreWrittenInOneReplacementAndReadInOneRead) {
  const Record& r = GetParam();
  FileSystemSeam seam;
  for (int which : {0, 1}) {
    r.write(profile(), which);
    EXPECT_EQ(seam.calls(Step::Replace), which + 1);
    const int reads = seam.calls(Step::ReadFile);
    EXPECT_EQ(r.read(profile()), r.shown[which]);
    EXPECT_EQ(seam.calls(Step::ReadFile), reads + 1);
  }
}

// jkn check knows every key a record writes as read by the library.
TEST_P(Records, TheirKeysAreKnownOutsideTheRegistry) {
  const Record& r = GetParam();
  r.write(profile(), 1);
  int keys = 0;
  for (const std::string& file : {inf("jkn-gnss.ini"), inf("jkn-gnss-rtk.ini"), inf("jkn-nmea.ini"),
                                  inf("def-ts.ini"), inf("jkn-ts.ini"), profile()}) {
    std::string section;
    ini::forEachLine(readBytes(file), [&](const ini::LineView& line) {
      if (line.kind == ini::LineView::Section) section = std::string(line.name);
      if (line.kind != ini::LineView::Key) return;
      ++keys;
      EXPECT_NE(introspection::findKeyOutsideRegistry(section, line.name), nullptr)
          << section << " " << line.name;
    });
  }
  EXPECT_GE(keys, 2);
  EXPECT_EQ(introspection::findKeyOutsideRegistry("GNSS", "RTKPortNoX"), nullptr);
}

// A failed replacement leaves the whole old record.
TEST_P(Records, AFailedWriteLeavesTheWholeOldRecord) {
  const Record& r = GetParam();
  r.write(profile(), 0);
  FileSystemSeam seam;
  seam.failCall(Step::Replace, 1, WriteStatus::IoError);
  r.write(profile(), 1);
  EXPECT_EQ(r.read(profile()), r.shown[0]);
}

TEST_P(Records, APollingReaderNeverSeesHalfOfEach) {
  const Record& r = GetParam();
  r.write(profile(), 0);
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, mixed{0};
  std::string lastMix;
  std::thread reader([&] {
    while (!done) {
      const std::string seen = r.read(profile());
      ++reads;
      if (seen != r.shown[0] && seen != r.shown[1]) {
        if (mixed++ == 0) lastMix = seen;
      }
    }
  });
  for (int i = 1; i <= 60; ++i) r.write(profile(), i % 2);
  done = true;
  reader.join();
  EXPECT_EQ(mixed, 0) << "of " << reads << " reads, such as " << lastMix;
  EXPECT_GT(reads, 0);
}

INSTANTIATE_TEST_SUITE_P(Each, Records, ::testing::ValuesIn(kRecords),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trasso::test
