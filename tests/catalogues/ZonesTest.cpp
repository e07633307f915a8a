#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::writeBytes;

// Bytes written as two-digit hex numbers separated by blanks.
std::string fromHex(const char* hex) {
  std::string bytes;
  char* end = nullptr;
  for (const char* p = hex; *p != '\0'; p = end) {
    bytes += static_cast<char>(std::strtoul(p, &end, 16));
  }
  return bytes;
}

TEST(ZoneTable, NineteenRowsWithTheirNamesByteForByte) {
  // Code page 932 bytes of each zone name, in row order.
  const char* const names[] = {
      "91 e6 20 31 8c 6e 81 46 92 b7 8d e8 2e 8e ad 8e 99 93 87",
      "91 e6 20 32 8c 6e 81 46 95 9f 89 aa 2e 8d b2 89 ea 2e 8c 46 96 7b 2e 91 e5 95 aa 2e 8b 7b "
      "8d e8 2e 8e ad 8e 99 93 87",
      "91 e6 20 33 8c 6e 81 46 8e 52 8c fb 2e 93 87 8d aa 2e 8d 4c 93 87",
      "91 e6 20 34 8c 6e 81 46 8d 81 90 ec 2e 88 a4 95 51 2e 93 bf 93 87 2e 8d 82 92 6d",
      "91 e6 20 35 8c 6e 81 46 95 ba 8c c9 2e 92 b9 8e e6 2e 89 aa 8e 52",
      "91 e6 20 36 8c 6e 81 46 8b 9e 93 73 2e 91 e5 8d e3 2e 95 9f 88 e4 2e 8e a0 89 ea 2e 8e 4f "
      "8f 64 2e 93 de 97 c7 2e 98 61 89 cc 8e 52",
      "91 e6 20 37 8c 6e 81 46 90 ce 90 ec 2e 95 78 8e 52 2e 8a f2 95 8c 2e 88 a4 92 6d",
      "91 e6 20 38 8c 6e 81 46 90 56 8a 83 2e 92 b7 96 ec 2e 8e 52 97 9c 2e 90 c3 89 aa",
      "91 e6 20 39 8c 6e 81 46 93 8c 8b 9e 2e 95 9f 93 87 2e 93 c8 96 d8 2e 88 ef 8f e9 2e 8d e9 "
      "8b ca 2e 90 e7 97 74 2e 8c 51 94 6e 2e 90 5f 93 de 90 ec",
      "91 e6 31 30 8c 6e 81 46 90 c2 90 58 2e 8f 48 93 63 2e 8e 52 8c 60 2e 8a e2 8e e8 2e 8b 7b "
      "8f e9",
      "91 e6 31 31 8c 6e 81 46 96 6b 8a 43 93 b9 28 31 29",
      "91 e6 31 32 8c 6e 81 46 96 6b 8a 43 93 b9 28 32 29",
      "91 e6 31 33 8c 6e 81 46 96 6b 8a 43 93 b9 28 33 29",
      "91 e6 31 34 8c 6e 81 46 93 8c 8b 9e 28 8f 94 93 87 29",
      "91 e6 31 35 8c 6e 81 46 89 ab 93 ea 28 31 29",
      "91 e6 31 36 8c 6e 81 46 89 ab 93 ea 28 32 29",
      "91 e6 31 37 8c 6e 81 46 89 ab 93 ea 28 33 29",
      "91 e6 31 38 8c 6e 81 46 93 8c 8b 9e 28 89 ab 83 6d 93 87 29",
      "91 e6 31 39 8c 6e 81 46 93 8c 8b 9e 28 93 ec 92 b9 93 87 29",
  };
  ASSERT_EQ(GetHmnZaKeiCnt(), 19);
  for (int index = 0; index < 19; ++index) {
    uint16_t number = 0;
    std::string name;
    ASSERT_EQ(GetHmnZaKeiInfo(index, number, name), 1) << index;
    EXPECT_EQ(number, index + 1);
    EXPECT_EQ(name, fromHex(names[index])) << "row " << index;
  }
}

TEST(ZoneTable, IndexOutsideTheTableLeavesOutputsUntouched) {
  for (int index : {19, 20, -1, INT_MIN, INT_MAX}) {
    uint16_t number = 77;
    std::string name = "kept";
    EXPECT_EQ(GetHmnZaKeiInfo(index, number, name), 0) << index;
    EXPECT_EQ(number, 77);
    EXPECT_EQ(name, "kept");
  }
}

class ZoneFileTest : public trasso::test::RootsTest {
 protected:
  void SetUp() override {
    RootsTest::SetUp();
    folder_ = root(0) + "/zone";
    std::filesystem::create_directories(folder_);
  }
  std::string file() const { return folder_ + "/HmnZaKei.ini"; }
  std::string folder_;
};

TEST_F(ZoneFileTest, MissingFileGivesZoneOneAndCreatesNothing) {
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 1);
  EXPECT_EQ(GetHmnZaKei((root(0) + "/absent").c_str()), 1);
  EXPECT_EQ(listFolder(folder_), "");
}

TEST_F(ZoneFileTest, SetWritesANewFileAndGetReadsItBack) {
  EXPECT_EQ(SetHmnZaKei(folder_.c_str(), 9), 1);
  EXPECT_EQ(readBytes(file()), "[HMNZAKEI]\r\nNO=9\r\n");
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 9);
  EXPECT_EQ(SetHmnZaKei(folder_.c_str(), 19), 1);
  EXPECT_EQ(readBytes(file()), "[HMNZAKEI]\r\nNO=19\r\n");
  EXPECT_EQ(SetHmnZaKei(folder_.c_str(), 1), 1);
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 1);
  EXPECT_EQ(listFolder(folder_), "HmnZaKei.ini\n");
}

TEST_F(ZoneFileTest, NumbersOutsideTheTableAreRefusedAndWriteNothing) {
  const std::string before = "; chosen by hand\r\n[HMNZAKEI]\r\nNO=4\r\n";
  writeBytes(file(), before);
  for (uint16_t number : {0, 20, 65535}) {
    EXPECT_EQ(SetHmnZaKei(folder_.c_str(), number), 0) << number;
    EXPECT_EQ(readBytes(file()), before);
  }
  EXPECT_EQ(SetHmnZaKei(folder_.c_str(), 12), 1);
  EXPECT_EQ(readBytes(file()), "; chosen by hand\r\n[HMNZAKEI]\r\nNO=12\r\n");
}

TEST_F(ZoneFileTest, StoredNumberIsNotCheckedAgainstTheTable) {
  writeBytes(file(), "[HMNZAKEI]\nNO=65537\n");
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 1);  // low 16 bits
  writeBytes(file(), "[HMNZAKEI]\nNO=25\n");
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 25);
  writeBytes(file(), "[OTHER]\nNO=5\n");
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 1);
}

TEST_F(ZoneFileTest, FolderMayUseBackslashes) {
  const std::string backslashed = root(0) + "\\zone";
  EXPECT_EQ(SetHmnZaKei(backslashed.c_str(), 7), 1);
  EXPECT_EQ(readBytes(file()), "[HMNZAKEI]\r\nNO=7\r\n");
  EXPECT_EQ(GetHmnZaKei(backslashed.c_str()), 7);
}

TEST_F(ZoneFileTest, SetIntoMissingFolderReportsSuccessAndCreatesNothing) {
  const std::string missing = root(0) + "/absent";
  EXPECT_EQ(SetHmnZaKei(missing.c_str(), 5), 1);
  EXPECT_FALSE(exists(missing));
}

}  // namespace
