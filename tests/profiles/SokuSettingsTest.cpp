// Setting-out file: defaults, exact written texts and the getters without a path.
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;
using trasso::test::writeBytes;

struct SokuFlag {
  const char* section;
  const char* key;
  bool (*get)(const char*);
  void (*put)(const char*, bool);
  bool def;
};

const SokuFlag kFlags[] = {
    {"POS", "P_T", GetQZJkn_Soku_POS_P_T, PutQZJkn_Soku_POS_P_T, true},
    {"RNG_MINMAX", "RNG_MINF", GetQZJkn_Soku_RangeMinFlag, PutQZJkn_Soku_RangeMinFlag, false},
    {"RNG_MINMAX", "RNG_MAXF", GetQZJkn_Soku_RangeMaxFlag, PutQZJkn_Soku_RangeMaxFlag, false},
    {"ORDER", "DATA", GetQZJkn_Soku_DataOrder, PutQZJkn_Soku_DataOrder, true},
    {"ZEROBO", "LIGHTON", GetQZJkn_Soku_AutoLightOn, PutQZJkn_Soku_AutoLightOn, false},
    {"ZEROBO", "CHANGETRK", GetQZJkn_Soku_ChangeTRK, PutQZJkn_Soku_ChangeTRK, true},
    {"ZEROBO", "TRMCM", GetQZJkn_Soku_TRK_cm, PutQZJkn_Soku_TRK_cm, false},
    {"ZEROBO", "NORMALONCE", GetQZJkn_Soku_NormalOnce, PutQZJkn_Soku_NormalOnce, false},
    {"ZEROBO", "RNGSNDF", GetQZJkn_Soku_RangeInSoundFlag, PutQZJkn_Soku_RangeInSoundFlag, false},
    {"ZEROBO", "RNGINDSPF", GetQZJkn_Soku_RangeInDispFlag, PutQZJkn_Soku_RangeInDispFlag, false},
    {"ZEROBO", "RNGOUTDSP", GetQZJkn_Soku_RangeOutDispFlag, PutQZJkn_Soku_RangeOutDispFlag, false},
    {"ZEROBO", "USEXYCHECK", GetQZJkn_Soku_UseXYCheckFlag, PutQZJkn_Soku_UseXYCheckFlag, false},
    {"STARTOP", "OPRNSOKP", GetQZJkn_Soku_OpenSokusetsuProp, PutQZJkn_Soku_OpenSokusetsuProp, true},
    {"STARTOP", "OPRNSOKM", GetQZJkn_Soku_OpenSokusetsuMake, PutQZJkn_Soku_OpenSokusetsuMake,
     false},
};

struct SokuDouble {
  const char* section;
  const char* key;
  double (*get)(const char*);
  void (*put)(const char*, double);
  double def;
  double value;
  const char* written;
};

const SokuDouble kDoubles[] = {
    {"HOSEI", "SCL", GetQZJkn_Soku_Scale, PutQZJkn_Soku_Scale, 1.0, 0.9999, "0.999900"},
    {"HOSEI", "AVEH", GetQZJkn_Soku_AveH, PutQZJkn_Soku_AveH, 0.0, -12.5, "-12.500000"},
    {"RNG_MINMAX", "RNG_MIND", GetQZJkn_Soku_RangeMinDst, PutQZJkn_Soku_RangeMinDst, 2.0, -1.0,
     "-1.000000"},
    {"RNG_MINMAX", "RNG_MAXD", GetQZJkn_Soku_RangeMaxDst, PutQZJkn_Soku_RangeMaxDst, 100.0, 0.5,
     "0.500000"},
    {"ZEROBO", "RNGSNDD", GetQZJkn_Soku_RangeInSoundDst, PutQZJkn_Soku_RangeInSoundDst, 1.0,
     1234.5678901, "1234.567890"},
    {"ZEROBO", "RNGINDSPD", GetQZJkn_Soku_RangeInDispDst, PutQZJkn_Soku_RangeInDispDst, 2.0, 0.25,
     "0.250000"},
    {"ZEROBO", "RNGOUTDSPD", GetQZJkn_Soku_RangeOutDispDst, PutQZJkn_Soku_RangeOutDispDst, 3.0, 7.0,
     "7.000000"},
};

std::string fileOf(const char* section, const char* key, const std::string& value) {
  return "[" + std::string(section) + "]\r\n" + key + "=" + value + "\r\n";
}

using SokuTest = trasso::test::RootsTest;

TEST_F(SokuTest, FlagsDefaultAndWriteOneOrZero) {
  for (const SokuFlag& row : kFlags) {
    SCOPED_TRACE(row.key);
    const std::string path = inf(std::string(row.key) + ".ini");
    EXPECT_EQ(row.get(path.c_str()), row.def);
    EXPECT_EQ(row.get(nullptr), row.def);
    EXPECT_FALSE(exists(path));
    row.put(path.c_str(), !row.def);
    EXPECT_EQ(readBytes(path), fileOf(row.section, row.key, row.def ? "0" : "1"));
    EXPECT_EQ(row.get(path.c_str()), !row.def);
  }
}

TEST_F(SokuTest, DoublesDefaultWriteSixDecimalsAndReadEmptyAsDefault) {
  for (const SokuDouble& row : kDoubles) {
    SCOPED_TRACE(row.key);
    const std::string path = inf(std::string(row.key) + ".ini");
    EXPECT_EQ(row.get(path.c_str()), row.def);
    EXPECT_FALSE(exists(path));
    row.put(path.c_str(), row.value);
    EXPECT_EQ(readBytes(path), fileOf(row.section, row.key, row.written));
    EXPECT_DOUBLE_EQ(row.get(path.c_str()), std::stod(row.written));
    writeBytes(path, fileOf(row.section, row.key, ""));
    EXPECT_EQ(row.get(path.c_str()), row.def);
  }
}

TEST_F(SokuTest, DstModeIsStoredUnchecked) {
  const std::string path = inf("jkn-soku.ini");
  EXPECT_EQ(GetQZJkn_Soku_DstMode(path.c_str()), 2);
  PutQZJkn_Soku_DstMode(path.c_str(), -40);
  EXPECT_EQ(readBytes(path), "[HOSEI]\r\nDSTMODE=-40\r\n");
  EXPECT_EQ(GetQZJkn_Soku_DstMode(path.c_str()), -40);
}

TEST_F(SokuTest, GettersWithoutPathReadTheDefaultFile) {
  const std::string path = GetQZJkn_Soku_Path();
  EXPECT_TRUE(GetQZJkn_Soku_OpenSokusetsuProp());
  EXPECT_FALSE(GetQZJkn_Soku_OpenSokusetsuMake());
  EXPECT_FALSE(exists(inf("jkn-soku.ini")));
  PutQZJkn_Soku_OpenSokusetsuProp(path.c_str(), false);
  PutQZJkn_Soku_OpenSokusetsuMake(path.c_str(), true);
  EXPECT_EQ(readBytes(inf("jkn-soku.ini")), "[STARTOP]\r\nOPRNSOKP=0\r\nOPRNSOKM=1\r\n");
  EXPECT_FALSE(GetQZJkn_Soku_OpenSokusetsuProp());
  EXPECT_TRUE(GetQZJkn_Soku_OpenSokusetsuMake());
  EXPECT_EQ(GetQZJkn_Soku_OpenSokusetsuProp(path.c_str()), GetQZJkn_Soku_OpenSokusetsuProp());
}

}  // namespace
