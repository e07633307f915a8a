// Faults of single commands that the larger sessions would not show.
#include <nlohmann/json.hpp>

#include "JknFixture.h"

namespace trasso::test {
namespace {

// reset removes the first line of a key; a later line of the same key reads
// then, and reset says so instead of claiming the default.
TEST_F(JknTest, ResetSaysWhatReadsAfterIt) {
  writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage\nPage=3\n"));
  run({{"get GNSS_Page", 0, "0\n"},
       {"reset GNSS_Page", 0,
        "GNSS_Page = 3 (another line of this key reads now; reset again to remove it)\n"},
       {"reset GNSS_Page", 0, "GNSS_Page = 0 (default)\n"},
       {"reset GNSS_Page", 0, "GNSS_Page = 0 (default)\n"}});
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), withCrLf("[GNSS]\n"));
}

// How check explains an integer text that a person reads otherwise: where the
// rule stops (in the base of a lower-case prefix), and what reads as is.
TEST_F(JknTest, CheckSaysWhereTheIntegerRuleStops) {
  const std::string base = "the integer rule reads the base-";
  const std::string after = " digits after the prefix and stops at the first other character: ";
  const std::string digit = "the integer rule stops at the first character that is not a digit: ";
  const std::string upper =
      "only lower-case 0x, 0o and 0b select a base; an upper-case prefix reads as 0";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"0x1f", ""},
      {"-0x10", ""},
      {"0b101", ""},
      {"0x1g", base + "16" + after + "'g' is ignored -> 1"},
      {"0o19", base + "8" + after + "'9' is ignored -> 1"},
      {"-0b12", base + "2" + after + "'2' is ignored -> -1"},
      {"0xg", digit + "'xg' is ignored -> 0"},
      {"0x", digit + "'x' is ignored -> 0"},
      {"12-3", digit + "'-3' is ignored -> 12"},
      {"+7e", digit + "'e' is ignored -> 7"},
      {"abc", "a text without leading digits reads as 0 -> 0"},
      {"0XAB", upper + " -> 0"},
      {"0XAG", upper + " -> 0"},
      {"4294967301", "more than 32 bits: the integer rule keeps the number modulo 2^32 -> 5"},
  };
  for (const auto& [stored, expected] : cases) {
    writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage=" + stored + "\n"));
    sh(kJkn + "check --json");
    std::string found;
    for (const nlohmann::json& f : nlohmann::json::parse(out_)) {
      found += f["why"].get<std::string>() + " -> " + f["read"].get<std::string>();
    }
    EXPECT_EQ(found, expected) << stored;
  }
}

}  // namespace
}  // namespace trasso::test
