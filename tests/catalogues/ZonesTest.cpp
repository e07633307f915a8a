#include <climits>
#include <filesystem>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::readBytes;
using trasso::test::writeBytes;

// Bytes written as pairs of hex digits.
std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

TEST(ZoneTable, NineteenRowsByteForByteAndNothingOutside) {
  // Code page 932 bytes of each zone name, in row order.
  const char* const names[] = {
      "91e620318c6e814692b78de82e8ead8e999387",
      "91e620328c6e8146959f89aa2e8db289ea2e8c46967b2e91e595aa2e8b7b8de82e8ead8e999387",
      "91e620338c6e81468e528cfb2e93878daa2e8d4c9387",
      "91e620348c6e81468d8190ec2e88a495512e93bf93872e8d82926d",
      "91e620358c6e814695ba8cc92e92b98ee62e89aa8e52",
      "91e620368c6e81468b9e93732e91e58de32e959f88e42e8ea089ea2e8e4f8f642e93de97c72e986189cc8e52",
      "91e620378c6e814690ce90ec2e95788e522e8af2958c2e88a4926d",
      "91e620388c6e814690568a832e92b796ec2e8e52979c2e90c389aa",
      ("91e620398c6e8146938c8b9e2e959f93872e93c896d82e88ef"
       "8fe92e8de98bca2e90e797742e8c51946e2e905f93de90ec"),
      "91e631308c6e814690c290582e8f4893632e8e528c602e8ae28ee82e8b7b8fe9",
      "91e631318c6e8146966b8a4393b9283129",
      "91e631328c6e8146966b8a4393b9283229",
      "91e631338c6e8146966b8a4393b9283329",
      "91e631348c6e8146938c8b9e288f94938729",
      "91e631358c6e814689ab93ea283129",
      "91e631368c6e814689ab93ea283229",
      "91e631378c6e814689ab93ea283329",
      "91e631388c6e8146938c8b9e2889ab836d938729",
      "91e631398c6e8146938c8b9e2893ec92b9938729",
  };
  ASSERT_EQ(GetHmnZaKeiCnt(), 19);
  for (int index = 0; index < 19; ++index) {
    uint16_t number = 0;
    std::string name;
    ASSERT_EQ(GetHmnZaKeiInfo(index, number, name), 1) << index;
    EXPECT_EQ(number, index + 1);
    EXPECT_EQ(name, fromHex(names[index])) << "row " << index;
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
  EXPECT_EQ(GetHmnZaKei((root(0) + "/absent").c_str()), 1);
  EXPECT_FALSE(exists(file()));
  struct Row {
    const char* bytes;
    uint16_t number;
  };
  for (const Row& row : {Row{"[HMNZAKEI]\nNO=65537\n", 1}, Row{"[HMNZAKEI]\nNO=25\n", 25},
                         Row{"[OTHER]\nNO=5\n", 1}}) {
    writeBytes(file(), row.bytes);
    EXPECT_EQ(GetHmnZaKei(folder_.c_str()), row.number) << row.bytes;
  }
}

TEST_F(ZoneFileTest, SetWritesNumbersOfTheTableOnly) {
  EXPECT_EQ(SetHmnZaKei(folder_.c_str(), 9), 1);
  EXPECT_EQ(readBytes(file()), "[HMNZAKEI]\r\nNO=9\r\n");
  EXPECT_EQ(GetHmnZaKei(folder_.c_str()), 9);
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
