#include <climits>
#include <filesystem>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;
using trasso::test::writeBytes;

TEST(ZoneTable, NineteenNumberedRowsAndNothingOutside) {
  ASSERT_EQ(GetHmnZaKeiCnt(), 19);
  for (int index = 0; index < 19; ++index) {
    uint16_t number = 0;
    std::string name;
    ASSERT_EQ(GetHmnZaKeiInfo(index, number, name), 1) << index;
    EXPECT_EQ(number, index + 1);
    // "Zone", a half-width space before one-digit numbers, the number, "system:".
    const std::string head = "\x91\xE6" + std::string(index < 9 ? " " : "") +
                             std::to_string(index + 1) + "\x8C\x6E\x81\x46";
    EXPECT_EQ(name.substr(0, head.size()), head) << index;
  }
  for (int index : {19, -1, INT_MIN, INT_MAX}) {
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
    std::filesystem::create_directories(root(0) + "/zone");
    folder_ = root(0) + "\\zone";  // as callers write it
  }
  std::string file() const { return root(0) + "/zone/HmnZaKei.ini"; }
  std::string folder_;
};

TEST_F(ZoneFileTest, GetGivesLow16BitsOfTheStoredNumberOrOne) {
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 1);
  EXPECT_EQ(GetHmnZaKei(nullptr), 1);
  EXPECT_FALSE(exists(file()));
  for (auto [bytes, number] : {std::pair<const char*, uint16_t>{"[HMNZAKEI]\nNO=65537\n", 1},
                               {"[HMNZAKEI]\nNO=25\n", 25},
                               {"[OTHER]\nNO=5\n", 1}}) {
    writeBytes(file(), bytes);
    EXPECT_EQ(GetHmnZaKei(folder_.c_str()), number) << bytes;
  }
}

TEST_F(ZoneFileTest, SetWritesNumbersOfTheTableOnly) {
  EXPECT_EQ(SetHmnZaKei(folder_.c_str(), 9), 1);
  EXPECT_EQ(readBytes(file()), "[HMNZAKEI]\r\nNO=9\r\n");
  const std::string before = "; chosen by hand\r\n[HMNZAKEI]\r\nNO=4\r\n";
  writeBytes(file(), before);
  for (uint16_t number : {0, 20, 65535}) {
    EXPECT_EQ(SetHmnZaKei(folder_.c_str(), number), 0) << number;
    EXPECT_EQ(readBytes(file()), before);
  }
  for (uint16_t number : {1, 19}) {
    EXPECT_EQ(SetHmnZaKei(folder_.c_str(), number), 1) << number;
    EXPECT_EQ(readBytes(file()),
              "; chosen by hand\r\n[HMNZAKEI]\r\nNO=" + std::to_string(number) + "\r\n");
  }
  // A missing folder is not created; the number was valid all the same.
  const std::string missing = root(0) + "/absent";
  EXPECT_EQ(SetHmnZaKei(missing.c_str(), 5), 1);
  EXPECT_FALSE(exists(missing));
}

}  // namespace
