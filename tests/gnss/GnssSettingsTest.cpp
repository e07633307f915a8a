// GNSS settings: defaults, exact written texts, read-back and conversions.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::writeBytes;

// A numeric key: its getter and setter through 64-bit values, so that int,
// uint16_t and uint32_t keys share one table.
struct NumberKey {
  const char* key;
  long long def;
  std::function<long long()> get;
  std::function<void(long long)> put;
  long long written;   // value given to the setter
  const char* text;    // what the file must hold
  long long readBack;  // what the getter then returns
};

#define PLAIN(name, key, def, value, text, back)                                  \
  NumberKey {                                                                     \
    key, def, [] { return static_cast<long long>(GetQZJkn_GNSS_##name()); },      \
        [](long long v) {                                                         \
          PutQZJkn_GNSS_##name(static_cast<decltype(GetQZJkn_GNSS_##name())>(v)); \
        },                                                                        \
        value, text, back                                                         \
  }

std::vector<NumberKey> plainKeys() {
  return {
      PLAIN(Page, "Page", 0, 3, "3", 3),
      PLAIN(AutoLoad, "AutoLoad", 0, -5, "-5", -5),
      PLAIN(AutoStart, "AutoStart", 0, 1, "1", 1),
      PLAIN(SetOpen, "SetOpen", 1, 0, "0", 0),
      PLAIN(RTK_SetOpen, "SetOpenRtk", 1, 0, "0", 0),
      PLAIN(NTripP, "Protocol", 1104, 7003, "7003", 7003),
      PLAIN(PortNoS, "PortNoS", 0, 4, "4", 4),
      PLAIN(MountP, "MountP", 0, 12, "12", 12),
      PLAIN(Rate, "Rate", 0, 65535, "65535", 65535),
      PLAIN(DispREC, "DispREC", 1, 0, "0", 0),
      PLAIN(DispLocus, "DispLocus", 0, 1, "1", 1),
      PLAIN(CntLocus, "CntLocus", 20, 2147483647, "2147483647", 2147483647),
      PLAIN(PutMode, "PutMode", 0, 2, "2", 2),
      PLAIN(AfterTime, "AfterTime", 0, 30, "30", 30),
      PLAIN(IntvalTime, "IntvalTime", 5, 10, "10", 10),
      PLAIN(IntvalLeng, "IntvalLeng", 5000, 250, "250", 250),
      PLAIN(UnFixPut, "UnFixPut", 0, 1, "1", 1),
      PLAIN(Epoch, "Epoch", 1, 0, "0", 0),
      PLAIN(CntEpoch, "CntEpoch", 10, 3, "3", 3),
      PLAIN(TiltObs, "TiltObs", 0, 1, "1", 1),
      PLAIN(TiltSingleTime, "SglAfterTime", 0, 4, "4", 4),
      PLAIN(TiltRepeatTime, "RepAfterTime", 0, 6, "6", 6),
      PLAIN(TiltAnnounce, "TiltAnnounce", 1, 0, "0", 0),
      PLAIN(TiltAllowance, "TiltAllowance", 20, 35, "35", 35),
      PLAIN(Declination, "Declination", 0, -2147483647 - 1, "-2147483648", -2147483648LL),
      PLAIN(DeclinationH, "DeclinationH", 25, 26, "26", 26),
      PLAIN(DeclinationV, "DeclinationV", 40, 41, "41", 41),
      PLAIN(BubbleSensMinPer2mm, "BubbleSens", 40, 8, "8", 8),
      PLAIN(ImuObs, "ImuObs", 0, -3, "1", 1),
      PLAIN(ImuRepeatTime, "ImuRepAfterTime", 0, 9, "9", 9),
      PLAIN(Init_Pdop, "InitPDOP", 7, 5, "5", 5),
      PLAIN(Init_UseSatCnt, "UseSatCnt", 7, 8, "8", 8),
      PLAIN(Init_UseInitMode, "UseInitMode", 0, 2, "1", 1),
      PLAIN(Init_UseConfirm, "UseConfirm", 0, 0, "0", 0),
  };
}

#define MODED(name, key, def, value, text, back)                                         \
  NumberKey {                                                                            \
    key, def, [] { return static_cast<long long>(GetQZJkn_GNSS_##name(mode)); },         \
        [](long long v) {                                                                \
          PutQZJkn_GNSS_##name(mode, static_cast<decltype(GetQZJkn_GNSS_##name(0))>(v)); \
        },                                                                               \
        value, text, back                                                                \
  }

int mode = 0;  // the mode argument the MODED rows pass

std::vector<NumberKey> modedKeys() {
  return {
      MODED(PortNo, "PortNo", 1, 7, "7", 7),
      MODED(COMM_or_BT, "ConnectComm", 1, 5, "1", 1),
      MODED(BtPort, "BTPort", 0, 4294967295LL, "4294967295", 4294967295LL),
      MODED(MaskElev, "MaskElev", 15, 10, "10", 10),
      MODED(MaskSate, "MaskSate", 11, 65535, "65535", 65535),
      MODED(MaskSgnl, "MaskSgnl", 3, 0, "0", 0),
  };
}

class GnssSettings : public trasso::test::RootsTest {
 protected:
  std::string file() const { return inf("jkn-gnss.ini"); }

  void checkKey(const NumberKey& k, const std::string& key) {
    SCOPED_TRACE(key);
    EXPECT_EQ(k.get(), k.def);
    EXPECT_FALSE(exists(file()));
    k.put(k.written);
    EXPECT_EQ(readBytes(file()), "[GNSS]\r\n" + key + "=" + k.text + "\r\n");
    EXPECT_EQ(k.get(), k.readBack);
    std::remove(file().c_str());
  }
};

TEST_F(GnssSettings, PlainKeysDefaultsWrittenTextsAndReadBack) {
  for (const auto& k : plainKeys()) checkKey(k, k.key);
  EXPECT_EQ(listFolder(inf("")), "");
}

TEST_F(GnssSettings, ModeSelectsTheBaseOrSvyKey) {
  for (int m : {0, 2, -1}) {
    mode = m;
    for (const auto& k : modedKeys()) checkKey(k, std::string(k.key) + (m == 0 ? "" : "_Svy"));
  }
  // The two keys are independent.
  PutQZJkn_GNSS_PortNo(0, 3);
  PutQZJkn_GNSS_PortNo(1, 4);
  EXPECT_EQ(GetQZJkn_GNSS_PortNo(0), 3);
  EXPECT_EQ(GetQZJkn_GNSS_PortNo(-7), 4);
  EXPECT_EQ(readBytes(file()), "[GNSS]\r\nPortNo=3\r\nPortNo_Svy=4\r\n");
}

TEST_F(GnssSettings, TextKeysRoundTripAndNullRemoves) {
  struct TextKey {
    const char* key;
    std::function<std::string()> get;
    std::function<void(const char*)> put;
  } keys[] = {
      {"Address", GetQZJkn_GNSS_Address, PutQZJkn_GNSS_Address},
      {"UserID", GetQZJkn_GNSS_UserID, PutQZJkn_GNSS_UserID},
      {"Password", GetQZJkn_GNSS_Password, PutQZJkn_GNSS_Password},
      {"MountPTX", GetQZJkn_GNSS_MountPTX, PutQZJkn_GNSS_MountPTX},
      {"MountDEF", GetQZJkn_GNSS_MountDEF, PutQZJkn_GNSS_MountDEF},
      {"BTAddr", [] { return GetQZJkn_GNSS_BTAddr(0); },
       [](const char* t) { PutQZJkn_GNSS_BTAddr(0, t); }},
      {"BTAddr_Svy", [] { return GetQZJkn_GNSS_BTAddr(3); },
       [](const char* t) { PutQZJkn_GNSS_BTAddr(-3, t); }},
  };
  const std::string sjis = "\x93\x8c\x8b\x9e\x95\x5c";  // code page 932, ends in a 0x5C byte
  for (const auto& k : keys) {
    SCOPED_TRACE(k.key);
    EXPECT_EQ(k.get(), "");
    k.put(sjis.c_str());
    EXPECT_EQ(readBytes(file()), "[GNSS]\r\n" + std::string(k.key) + "=" + sjis + "\r\n");
    EXPECT_EQ(k.get(), sjis);
    k.put(nullptr);
    EXPECT_EQ(readBytes(file()), "[GNSS]\r\n");
    EXPECT_EQ(k.get(), "");
    std::remove(file().c_str());
  }
  writeBytes(file(), "[GNSS]\r\nAddress=" + std::string(300, 'a') + "\r\nUserID=\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_Address(), std::string(259, 'a'));
  EXPECT_EQ(GetQZJkn_GNSS_UserID(), "");
}

TEST_F(GnssSettings, StoredValuesAreConvertedByKind) {
  writeBytes(file(),
             "[GNSS]\r\nConnectComm=2\r\nConnectComm_Svy=x\r\nMaskSate=70000\r\n"
             "MaskSgnl_Svy=-5\r\nBTPort_Svy=-1\r\nImuObs=5\r\nUseConfirm=abc\r\n"
             "Page=12abc\r\nRate=-1\r\nUseInitMode=-1\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_COMM_or_BT(0), 0);
  EXPECT_EQ(GetQZJkn_GNSS_COMM_or_BT(1), 0);
  EXPECT_EQ(GetQZJkn_GNSS_MaskSate(0), 4464);
  EXPECT_EQ(GetQZJkn_GNSS_MaskSgnl(1), 65531);
  EXPECT_EQ(GetQZJkn_GNSS_BtPort(1), 4294967295u);
  EXPECT_EQ(GetQZJkn_GNSS_ImuObs(), 1);
  EXPECT_EQ(GetQZJkn_GNSS_Init_UseConfirm(), 0);
  EXPECT_EQ(GetQZJkn_GNSS_Init_UseInitMode(), 1);
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 12);
  EXPECT_EQ(GetQZJkn_GNSS_Rate(), 65535);
  writeBytes(file(), "[GNSS]\r\nConnectComm=1\r\nConnectComm_Svy=0\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_COMM_or_BT(0), 1);
  EXPECT_EQ(GetQZJkn_GNSS_COMM_or_BT(1), 0);
}

TEST_F(GnssSettings, SkyPlotColumnsUseTheColumnNumberAsKey) {
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(3, 80), 80);
  EXPECT_FALSE(exists(file()));
  PutQZJkn_GNSS_SkyPlotLClm(-1, 5);
  PutQZJkn_GNSS_SkyPlotLClm(12, -40);
  EXPECT_EQ(readBytes(file()), "[SKYPLOT]\r\n-1=5\r\n12=-40\r\n");
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(-1, 80), 5);
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(12, 80), -40);
  EXPECT_EQ(GetQZJkn_GNSS_SkyPlotLClm(3, -7), -7);
}

TEST_F(GnssSettings, OtherKeysOfTheFileStayAsTheyWere) {
  const std::string before =
      "[GNSS]\r\nAntenna=3\r\naOffset=0.0000000000\r\n; hand note\r\n\r\n[SKYPLOT]\r\n1=2\r\n";
  writeBytes(file(), before);
  PutQZJkn_GNSS_MaskElev(0, 10);
  EXPECT_EQ(readBytes(file()),
            "[GNSS]\r\nAntenna=3\r\naOffset=0.0000000000\r\nMaskElev=10\r\n; hand note\r\n\r\n"
            "[SKYPLOT]\r\n1=2\r\n");
}

TEST_F(GnssSettings, WritesIntoAMissingFolderStoreNothing) {
  trasso::test::setEnv("KORVEL_APPDATA_0", root(0) + "/absent");
  PutQZJkn_GNSS_Page(4);
  PutQZJkn_GNSS_Address("x");
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 0);
  EXPECT_FALSE(exists(root(0) + "/absent"));
}

TEST_F(GnssSettings, TextsWithLineBreaksAreRefusedAndOtherBytesKept) {
  writeBytes(file(), "[GNSS]\r\nAddress=host\r\n");
  for (const char* hostile : {"x\r\n[GNSS]\r\nPage=9", "x\nPage=9", "x\rPage=9", "\n", "\r"}) {
    PutQZJkn_GNSS_Address(hostile);
    PutQZJkn_GNSS_BTAddr(1, hostile);
  }
  EXPECT_EQ(readBytes(file()), "[GNSS]\r\nAddress=host\r\n");

  std::string every;  // every byte but NUL, CR and LF
  for (int b = 1; b < 256; ++b) {
    if (b != '\r' && b != '\n') every += static_cast<char>(b);
  }
  // Bytes are stored as given; blanks at the edges and one enclosing pair of
  // quotes are not part of what a reader gets, as with the Windows functions.
  struct Case {
    std::string written, read;
  } cases[] = {
      {every.substr(0, 259), every.substr(0, 259)},
      {every.substr(100, 259), every.substr(100, 259)},
      {"\x81\x40\x95\x5C\x83\x5D", "\x81\x40\x95\x5C\x83\x5D"},
      {"=", "="},
      {"[x]", "[x]"},
      {"\"", "\""},
      {"  0,255,  0", "0,255,  0"},
      {"trail\t\x1A", "trail"},
      {"\"quoted\"", "quoted"},
      {"'single'", "single"},
  };
  for (const Case& c : cases) {
    PutQZJkn_GNSS_Address(c.written.c_str());
    EXPECT_EQ(readBytes(file()), "[GNSS]\r\nAddress=" + c.written + "\r\n");
    EXPECT_EQ(GetQZJkn_GNSS_Address(), c.read);
  }
}

}  // namespace
