#include <filesystem>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"
#include "outside/DatumShiftLib.h"

namespace {

using trasso::test::writeBytes;

// A small ISG header in its usual layout; the lines between the header and the
// end marker vary per test.
std::string isgFile(const std::string& fields, const std::string& eol = "\n") {
  return "begin_of_head ================================================" + eol +
         "model name     : HANDMADE" + eol + "model type     : gravimetric" + eol + fields +
         "end_of_head ==================================================" + eol +
         "   1.000   2.000" + eol;
}

class GeoidFileTest : public trasso::test::RootsTest {
 protected:
  void SetUp() override {
    RootsTest::SetUp();
    folder_ = root(0) + "/geoid";
    std::filesystem::create_directories(folder_);
  }
  // Writes a file into the geoid folder and returns its path.
  std::string put(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ + "/" + name;
    writeBytes(path, bytes);
    return path;
  }
  std::string folder_;
};

TEST_F(GeoidFileTest, IsgFileVersionGetsVerUnlessItHasIt) {
  struct Row {
    const char* fields;
    const char* version;
  };
  const Row rows[] = {
      {"ISG format     =          2.0\n", "ver2.0"},
      {"ISG format     = Ver2.0\n", "Ver2.0"},
      {"ISG format     = VER2\n", "VER2"},
      {"model version  : 2020a\nISG format     = 2.0\n", "ver2020a"},
      {"ISG format     = 2.0\nMODEL VERSION  = rev. 3 \n", "verrev. 3"},
      {"model version  : \nISG format     = 2.0\n", ""},  // present but empty
      {"data units     : meters\n", ""},
  };
  for (const Row& row : rows) {
    const std::string path = put("model.isg", isgFile(row.fields));
    EXPECT_TRUE(QZJknTool_IsGeoidFileISG(path.c_str())) << row.fields;
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path.c_str()), row.version) << row.fields;
  }
}

TEST_F(GeoidFileTest, IsgRecognitionSkipsBlankLinesAndIgnoresCase) {
  const std::string crlf = put("crlf.isg", "\r\n  \r\n" + isgFile("ISG format = 1.0\r\n", "\r\n"));
  EXPECT_TRUE(QZJknTool_IsGeoidFileISG(crlf.c_str()));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(crlf.c_str()), "ver1.0");
  const std::string upper = put("upper.isg", "BEGIN_OF_HEAD\nISG FORMAT = 2.0\nEND_OF_HEAD\n");
  EXPECT_TRUE(QZJknTool_IsGeoidFileISG(upper.c_str()));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(upper.c_str()), "ver2.0");
}

TEST_F(GeoidFileTest, HeaderMarkersOutOfPlaceAreNoIsgFile) {
  // Without the end marker, or with text before the start marker.
  const std::string open = put("open.isg", "begin_of_head\nISG format = 2.0\n");
  EXPECT_FALSE(QZJknTool_IsGeoidFileISG(open.c_str()));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(open.c_str()), "");
  const std::string late = put("late.isg", "comment\n" + isgFile("ISG format = 2.0\n"));
  EXPECT_FALSE(QZJknTool_IsGeoidFileISG(late.c_str()));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(late.c_str()), "");
}

TEST_F(GeoidFileTest, TextGridVersionFromTheFieldsOfItsFirstLine) {
  struct Row {
    const char* firstLine;
    const char* version;
  };
  const Row rows[] = {
      {"20.0 120.0 0.016667 0.025 1801 1201\n", ""},
      {"20.0 120.0 0.016667 0.025 1801 1201 1\n", "ver1.0"},
      {"20.0 120.0 0.016667 0.025 1801 1201 1 ver2.1\n", "ver2.1"},
      {"20.0 120.0 0.016667 0.025 1801 1201 1 ver2.2 extra\n", "ver2.2"},
      {"  20.0   120.0 0.016667 0.025 1801 1201 1   Ver-2.1a  \r\n", "Ver-2.1a"},
      {"20.0 120.0 0.016667 0.025 1801 1201 1 2.1\n", "2.1"},  // taken as it stands
      {"20.0\t120.0\t0.016667\t0.025\t1801\t1201\t1\tver2.1\n", ""},
      {"20.0\t120.0 0.016667 0.025 1801 1201 1 ver2.1\n", "ver1.0"},  // tab joins two
      {"\n20.0 120.0 0.016667 0.025 1801 1201 1 ver2.1\n", ""},       // only line one
  };
  for (const Row& row : rows) {
    const std::string path = put("grid.dat", std::string(row.firstLine) + "1.0 2.0 3.0\n");
    EXPECT_FALSE(QZJknTool_IsGeoidFileISG(path.c_str())) << row.firstLine;
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path.c_str()), row.version) << row.firstLine;
  }
  const std::string single = put("one.dat", "20.0 120.0 0.016667 0.025 1801 1201 1 ver4");
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(single.c_str()), "ver4");  // no line break
}

TEST_F(GeoidFileTest, OnlyTheFirst254CharactersOfTheFirstLineCount) {
  const std::string seven = "20.0 120.0 0.016667 0.025 1801 1201 1";
  const std::string inside = seven + std::string(254 - seven.size() - 5, ' ') + " ver3";
  ASSERT_EQ(inside.size(), 254u);
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(put("in.dat", inside + "\n").c_str()), "ver3");
  const std::string beyond = seven + std::string(254 - seven.size(), ' ') + "ver3\n";
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(put("out.dat", beyond).c_str()), "ver1.0");
}

TEST_F(GeoidFileTest, MissingFilesFoldersAndEmptyPathsGiveNothing) {
  const std::string missing = folder_ + "/absent.dat";
  for (const char* path :
       {missing.c_str(), folder_.c_str(), "", static_cast<const char*>(nullptr)}) {
    EXPECT_FALSE(QZJknTool_IsGeoidFileISG(path)) << (path ? path : "null");
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path), "") << (path ? path : "null");
  }
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(put("empty.dat", "").c_str()), "");
}

TEST_F(GeoidFileTest, PathsMayUseBackslashes) {
  put("model.isg", isgFile("ISG format = 2.0\n"));
  put("grid.dat", "20.0 120.0 0.016667 0.025 1801 1201 1 ver2.1\n");
  const std::string folder = root(0) + "\\geoid\\";
  EXPECT_TRUE(QZJknTool_IsGeoidFileISG((folder + "model.isg").c_str()));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer((folder + "model.isg").c_str()), "ver2.0");
  EXPECT_EQ(QZJknTool_GetGeoidFileVer((folder + "grid.dat").c_str()), "ver2.1");
}

TEST_F(GeoidFileTest, LibraryHandsOutHeaderValuesOnlyForIsgFiles) {
  const std::string isg = put("model.isg", isgFile("ISG format = 2.0\n"));
  char name[kGeoTextSize] = {};
  char type[kGeoTextSize] = {};
  char version[kGeoTextSize] = {};
  DatumShiftLib geoid;
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISGEx(isg.c_str(), name, type, version),
            DatumShiftLib::kIsgFile);
  EXPECT_STREQ(name, "HANDMADE");
  EXPECT_STREQ(type, "gravimetric");
  EXPECT_STREQ(version, "2.0");

  char untouched[kGeoTextSize] = "kept";
  const std::string grid = put("grid.dat", "1 2 3 4 5 6 7 ver2.1\n");
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISGEx(grid.c_str(), nullptr, nullptr, untouched),
            DatumShiftLib::kNotIsgFile);
  EXPECT_STREQ(untouched, "kept");
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISG(folder_.c_str()), DatumShiftLib::kNoFile);
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISG((folder_ + "/absent").c_str()), DatumShiftLib::kNoFile);
}

TEST_F(GeoidFileTest, LongVersionTextIsCutTo127Bytes) {
  const std::string longVersion(200, '7');
  const std::string isg = put("model.isg", isgFile("ISG format = " + longVersion + "\n"));
  char version[kGeoTextSize];
  std::fill(version, version + kGeoTextSize, 'x');
  DatumShiftLib geoid;
  ASSERT_EQ(geoid.GeoFile_IsGeoidFileISGEx(isg.c_str(), nullptr, nullptr, version), 0);
  EXPECT_EQ(std::string(version), longVersion.substr(0, 127));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(isg.c_str()), "ver" + longVersion.substr(0, 127));
}

}  // namespace
