// Functions that read or write several keys of one file do so in one piece:
// one read of the file, one replacement of it. So a reader polling a record
// while another thread rewrites it sees one whole record or the other.
#include <atomic>
#include <functional>
#include <thread>

#include "FileSystemSeam.h"
#include "Ini.h"
#include "StoreFacts.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

class Records : public RootsTest {
 protected:
  // Runs call and expects it to make exactly one call of step.
  template <class Call>
  void once(Step step, const char* name, Call call) {
    const int before = seam_.calls(step);
    call();
    EXPECT_EQ(seam_.calls(step), before + 1) << name;
  }
  FileSystemSeam seam_;
};

TEST_F(Records, AreWrittenInOneReplacementAndReadInOneRead) {
  const std::string profile = inf("profile.ini");
  const char* p = profile.c_str();
  RTK_CONNECT_PROP rtk{1, 3, 0, 4, 19200, 2};
  int i = 3, j = 50;
  double d = 10.0, e = 900.0;
  std::string s = "SN-1";
  uint32_t u = 2, v = 20;
  bool b = true;
  const std::pair<const char*, std::function<void()>> writes[] = {
      {"RTKConnectProp", [&] { PutQZJkn_GNSS_RTKConnectProp(1, rtk); }},
      {"StaCurrentAntenna", [&] { PutQZJkn_GNSS_StaCurrentAntenna(i, d, s.c_str()); }},
      {"StaCurrentReceiver", [&] { PutQZJkn_GNSS_StaCurrentReceiver(i, s.c_str()); }},
      {"NMEA_BtInfo", [&] { PutQZJkn_NMEA_BtInfo(s.c_str(), u); }},
      {"TS_ZETRBtRadio", [&] { PutQZJkn_TS_ZETRBtRadio(b, i, j); }},
      {"TS_AutoLoad_Ex", [&] { PutQZJkn_TS_AutoLoad_Ex(i, u, v, d, j); }},
      {"TS_AutoLoad", [&] { PutQZJkn_TS_AutoLoad(1); }},
      {"ZETR_Dst_CentigradePress", [&] { PutQZJkn_ZETR_Dst_CentigradePress(p, d, e); }},
      {"PL30_Dst_CentigradePress", [&] { PutQZJkn_PL30_Dst_CentigradePress(p, d, e); }},
      {"ZETR_Npr_RangeValue", [&] { PutQZJkn_ZETR_Npr_RangeValue(p, i, j); }},
      {"ZETR_Sch_HVRangeRad", [&] { PutQZJkn_ZETR_Sch_HVRangeRad(p, 0.5, 2.5); }},
  };
  for (const auto& [name, write] : writes) once(Step::Replace, name, write);
  AntennaCatalogue list;
  const std::pair<const char*, std::function<void()>> reads[] = {
      {"GNSSSensorBmp", [&] { GetGNSSSensorBmp(7, s, &i, &d, &list); }},
      {"RTKConnectProp", [&] { GetQZJkn_GNSS_RTKConnectProp(1, rtk); }},
      {"StaCurrentAntenna", [&] { GetQZJkn_GNSS_StaCurrentAntenna(i, d, s); }},
      {"StaCurrentReceiver", [&] { GetQZJkn_GNSS_StaCurrentReceiver(i, s); }},
      {"NMEA_BtInfo", [&] { GetQZJkn_NMEA_BtInfo(s, u); }},
      {"TS_ZETRBtRadio", [&] { GetQZJkn_TS_ZETRBtRadio(b, i, j); }},
      {"TS_AutoLoad_Ex", [&] { GetQZJkn_TS_AutoLoad_Ex(&u, &v, &d, &j); }},
      {"ZETR_Dst_CentigradePress", [&] { GetQZJkn_ZETR_Dst_CentigradePress(p, d, e); }},
      {"ZETR_Npr_RangeValue", [&] { GetQZJkn_ZETR_Npr_RangeValue(p, i, j); }},
      {"ZETR_Sch_HVRangeRad", [&] { GetQZJkn_ZETR_Sch_HVRangeRad(p, d, e); }},
  };
  for (const auto& [name, read] : reads) once(Step::ReadFile, name, read);
  EXPECT_EQ(std::make_tuple(i, j, d, e), std::make_tuple(3, 50, 0.5, 2.5));

  // jkn check knows every key these functions wrote as one the library reads.
  int keys = 0;
  for (const std::string& file : {inf("jkn-gnss.ini"), inf("jkn-gnss-rtk.ini"), inf("jkn-nmea.ini"),
                                  inf("def-ts.ini"), inf("jkn-ts.ini"), profile}) {
    std::string section;
    ini::forEachLine(readBytes(file), [&](const ini::LineView& line) {
      if (line.kind == ini::LineView::Section) section = std::string(line.name);
      if (line.kind != ini::LineView::Key) return;
      ++keys;
      EXPECT_NE(facts::findKeyOutsideRegistry(section, line.name), nullptr)
          << section << " " << line.name;
    });
  }
  EXPECT_EQ(keys, 27);
  // The current antenna and its offset, set back as the sensor has none.
  once(Step::Replace, "SensorBmpAntennaOffset", [&] { GetGNSSSensorBmpAntennaOffset(4, 7, s, d); });
}

// A failed replacement keeps the whole old record; a reader polling it while
// another thread rewrites it never sees half of each.
TEST_F(Records, ARecordIsNeverTorn) {
  const RTK_CONNECT_PROP a{1, 3, 0, 4, 19200, 2}, b{5, 6, 1, 7, 38400, 1};
  auto read = [] {
    RTK_CONNECT_PROP p;
    GetQZJkn_GNSS_RTKConnectProp(1, p);
    return std::make_tuple(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity);
  };
  auto fields = [](const RTK_CONNECT_PROP& p) {
    return std::make_tuple(p.Radio, p.Hosei, p.FlowCTS, p.PortNo, p.BaudRate, p.Parity);
  };
  PutQZJkn_GNSS_RTKConnectProp(1, a);
  seam_.failCall(Step::Replace, 1, WriteStatus::IoError);
  PutQZJkn_GNSS_RTKConnectProp(1, b);
  EXPECT_EQ(read(), fields(a));
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, mixed{0};
  std::thread reader([&] {
    for (; !done; ++reads) {
      const auto seen = read();
      mixed += seen != fields(a) && seen != fields(b);
    }
  });
  for (int n = 1; n <= 100; ++n) PutQZJkn_GNSS_RTKConnectProp(1, n % 2 ? b : a);
  done = true;
  reader.join();
  EXPECT_EQ(mixed, 0) << "of " << reads << " reads";
  EXPECT_GT(reads, 0);
}

}  // namespace
}  // namespace trasso::test
