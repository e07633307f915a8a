// Display item switches beyond what the registry walk checks for every code:
// unassigned codes and the stored integer handed back as it is.
#include <climits>
#include <string>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::listFolder;
using trasso::test::readBytes;
using trasso::test::RootsTest;
using trasso::test::writeBytes;

const char* const kUseFiles[] = {"def-share.ini", "def-ts.ini", "def-nmea.ini"};

using UseTest = RootsTest;

TEST_F(UseTest, UnassignedCodesReadZeroAndTouchNothing) {
  // Neighbouring keys hold 7, so a code mapped onto one of them would show.
  const std::string seed = "[Use]\r\nNoNm=7\r\nOKLN=7\r\nOALL=7\r\nOUTD=7\r\nSnsr=7\r\n";
  for (const char* file : kUseFiles) writeBytes(inf(file), seed);
  for (int code : {25, -1, 54, 60, INT_MIN, INT_MAX}) {
    EXPECT_EQ(GetQZJkn_Use(0, code), 0) << code;
    PutQZJkn_Use(0, code, 1);
    PutQZJkn_Use(0, code, 0);
  }
  for (const char* file : kUseFiles) EXPECT_EQ(readBytes(inf(file)), seed) << file;
  EXPECT_EQ(listFolder(inf("")) + listFolder(inf("", 1)),
            "def-nmea.ini\ndef-share.ini\ndef-ts.ini\n");
}

TEST_F(UseTest, GetterReturnsTheStoredIntegerAndSetterWritesOneOrZero) {
  writeBytes(inf("def-ts.ini"), "[Use]\r\nKkou=2\r\n");
  EXPECT_EQ(GetQZJkn_Use(-5, 9), 2);
  PutQZJkn_Use(3, 9, -1);
  EXPECT_EQ(readBytes(inf("def-ts.ini")), "[Use]\r\nKkou=1\r\n");
}

}  // namespace
