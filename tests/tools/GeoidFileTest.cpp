// Geoid model files: ISG headers and the version texts of ISG files and text grids.
#include <string>
#include <tuple>

#include "TestRoots.h"
#include "TrassoJkn.h"
#include "outside/DatumShiftLib.h"

namespace {

using trasso::test::writeBytes;

// A small ISG header in its usual layout, with the given lines before its end.
std::string isgFile(const std::string& fields, const std::string& eol = "\n") {
  return "begin_of_head ================================================" + eol +
         "model name     : HANDMADE" + eol + "model type     : gravimetric" + eol + fields +
         "end_of_head ==================================================" + eol +
         "   1.000   2.000" + eol;
}

class GeoidFileTest : public trasso::test::RootsTest {
 protected:
  // Writes a file into root 0; its path is given as callers write it, with a
  // backslash.
  std::string put(const std::string& name, const std::string& bytes) {
    writeBytes(root(0) + "/" + name, bytes);
    return root(0) + "\\" + name;
  }
};

TEST_F(GeoidFileTest, IsgTestAndVersionOfEachKindOfFile) {
  const std::string seven = "20.0 120.0 0.016667 0.025 1801 1201 1";
  // bytes, whether an ISG file, version
  const std::tuple<std::string, bool, const char*> rows[] = {
      // ISG files: the version gets "ver" unless it holds it in any case.
      {isgFile("ISG format     =          2.0\n"), true, "ver2.0"},
      {isgFile("ISG format     = Ver2.0\n"), true, "Ver2.0"},
      {isgFile("ISG format     = VER2\n"), true, "VER2"},
      {isgFile("ISG format = 2.0ver\nISG format = 3.0\n"), true, "2.0ver"},  // the first counts
      {isgFile("model version  : 2020a\nISG format     = 2.0\n"), true, "ver2020a"},
      {isgFile("ISG format     = 2.0\nMODEL VERSION  = rev. 3 \n"), true, "verrev. 3"},
      {isgFile("model version  : \nISG format     = 2.0\n"), true, ""},  // present but empty
      {isgFile("data units     : meters\n"), true, ""},
      {"\r\n  \r\n" + isgFile("ISG format = 1.0\r\n", "\r\n"), true, "ver1.0"},
      {"BEGIN_OF_HEAD\nISG FORMAT = 2.0\nEND_OF_HEAD\n", true, "ver2.0"},
      {"\xEF\xBB\xBF"
       "begin_of_head\nISG format = 2.0\nend_of_head\n",
       true, "ver2.0"},
      // Header markers out of place: no ISG file, and no text grid either.
      {"begin_of_head\nISG format = 2.0\n", false, ""},
      {"comment\n" + isgFile("ISG format = 2.0\n"), false, ""},
      // Text grids: the space-separated fields of the first line.
      {"20.0 120.0 0.016667 0.025 1801 1201\n1 2 3 4 5 6 7 8\n", false, ""},
      {seven + "\n1 2 3\n", false, "ver1.0"},
      {seven + " ver2.1\n", false, "ver2.1"},
      {seven + " ver2.2 extra\n", false, "ver2.2"},
      {"  20.0   120.0 0.016667 0.025 1801 1201 1   Ver-2.1a  \r\n", false, "Ver-2.1a"},
      {seven + " 2.1\n", false, "2.1"},  // taken as it stands
      {"20.0\t120.0\t0.016667\t0.025\t1801\t1201\t1\tver2.1\n", false, ""},
      {"20.0\t120.0 0.016667 0.025 1801 1201 1 ver2.1\n", false, "ver1.0"},  // tab joins two
      {"\n" + seven + " ver2.1\n", false, ""},
      {seven + " ver4", false, "ver4"},  // no line break
      // Only the first 254 characters of the line are read.
      {seven + std::string(254 - seven.size() - 5, ' ') + " ver3\n", false, "ver3"},
      {seven + std::string(254 - seven.size(), ' ') + "ver3\n", false, "ver1.0"},
      {"", false, ""},
  };
  for (const auto& [bytes, isg, version] : rows) {
    const std::string path = put("model.dat", bytes);
    EXPECT_EQ(QZJknTool_IsGeoidFileISG(path.c_str()), isg) << bytes;
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path.c_str()), version) << bytes;
  }
}

TEST_F(GeoidFileTest, LibraryHandsOutHeaderValuesOnlyForIsgFiles) {
  const std::string longVersion(200, '7');
  const std::string isg = put("model.isg", isgFile("ISG format = " + longVersion + "\n"));
  char name[kGeoTextSize] = {}, type[kGeoTextSize] = {};
  std::string version(kGeoTextSize, 'x');  // shows a missing terminator
  DatumShiftLib geoid;
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISGEx(isg.c_str(), name, type, version.data()),
            DatumShiftLib::kIsgFile);
  EXPECT_STREQ(name, "HANDMADE");
  EXPECT_STREQ(type, "gravimetric");
  EXPECT_EQ(std::string(version.c_str()), longVersion.substr(0, 127));
  EXPECT_EQ(QZJknTool_GetGeoidFileVer(isg.c_str()), "ver" + longVersion.substr(0, 127));

  char untouched[kGeoTextSize] = "kept";
  const std::string grid = put("grid.dat", "1 2 3 4 5 6 7 ver2.1\n");
  EXPECT_EQ(geoid.GeoFile_IsGeoidFileISGEx(grid.c_str(), nullptr, nullptr, untouched),
            DatumShiftLib::kNotIsgFile);
  EXPECT_STREQ(untouched, "kept");
  // Missing files, folders and empty paths give nothing.
  const std::string folder = root(0), missing = folder + "/absent.dat";
  for (const char* path :
       {missing.c_str(), folder.c_str(), "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(geoid.GeoFile_IsGeoidFileISG(path), DatumShiftLib::kNoFile) << (path ? path : "null");
    EXPECT_FALSE(QZJknTool_IsGeoidFileISG(path)) << (path ? path : "null");
    EXPECT_EQ(QZJknTool_GetGeoidFileVer(path), "") << (path ? path : "null");
  }
}

}  // namespace
