// Faults of single commands that the larger sessions would not show.
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

}  // namespace
}  // namespace trasso::test
