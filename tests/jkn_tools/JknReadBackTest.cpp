// jkn set refuses, by the library's one rule, every value the application
// would read back otherwise, and writes nothing; what reads back as given it
// writes. (The rule itself is tested over every setting by interface_tests.)
#include "JknFixture.h"

namespace trasso::test {
namespace {

TEST_F(JknTest, SetRefusesValuesThatWouldReadBackOtherwise) {
  run({
      {"set GNSS_Password '\"secret\"'", 1,
       "jkn: GNSS_Password takes a text of at most 259 bytes in code page 932, without line "
       "breaks; got '\"secret\"', which would read back as 'secret' (a value in one pair of "
       "quotes (\"...\" or '...') is read without them)\n"},
      {"set GNSS_Password ' secret'", 1, "(blanks at the start of a value are not read)"},
      {"set GNSS_UserID 'テスト '", 1, "(blanks at the end of a value are not read)"},
      {"set GNSS_ImuObs 2", 1, "GNSS_ImuObs takes 0 or 1; got '2', which would read back as '1'"},
  });
  EXPECT_EQ(snapshot(), "");
  run({{"set GNSS_Password 'a \"b\" c'", 0, "GNSS_Password = a \"b\" c\n"}});
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), "[GNSS]\r\nPassword=a \"b\" c\r\n");
}

}  // namespace
}  // namespace trasso::test
