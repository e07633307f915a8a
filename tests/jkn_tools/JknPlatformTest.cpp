// What jkn does where the platforms differ, run against the jkn of this build
// and (JKN_COMMAND) the Windows one under Wine: file-name case, links, paths.
#include "JknFixture.h"

namespace trasso::test {
namespace {

// Each side reads and writes a file whose name differs in case as its own
// reader does: Windows opens JKN-NMEA.INI for jkn-nmea.ini (and keeps the
// name when it writes), POSIX does not.
TEST_F(JknTest, FileNamesInTheCaseThePlatformsReaderOpens) {
  writeBytes(inf("JKN-NMEA.INI"), withCrLf("[NMEA]\nPort=4\n"));
  if (jknOnWindows()) {
    run({{"get NMEA_Port", 0, "4\n"},
         {"check", 0, "no findings in 1 settings file\n"},
         {"dump", 0, "\nNMEA_Port = 4"},
         {"files", 0, " 7  jkn-nmea.ini      16B      writable  root0/inf/jkn-nmea.ini"},
         {"set NMEA_Port 5", 0, "NMEA_Port = 5\n"}});
    EXPECT_EQ(sh("ls root0/inf"), 0);
    EXPECT_EQ(out_, "JKN-NMEA.INI\n");
    EXPECT_EQ(readBytes(inf("JKN-NMEA.INI")), withCrLf("[NMEA]\nPort=5\n"));
  } else {
    run({{"get NMEA_Port", 0, "1\n"},
         {"check", 1, "fix:     mv 'root0/inf/JKN-NMEA.INI' 'root0/inf/jkn-nmea.ini'"},
         {"files", 0, " 7  jkn-nmea.ini      missing  writable  root0/inf/jkn-nmea.ini"},
         {"set NMEA_Port 5", 0, "NMEA_Port = 5\n"}});
    EXPECT_EQ(readBytes(inf("JKN-NMEA.INI")), withCrLf("[NMEA]\nPort=4\n"));
    EXPECT_EQ(readBytes(inf("jkn-nmea.ini")), withCrLf("[NMEA]\nPort=5\n"));
  }
}

// A settings file that is a link is written through on both: the file it leads
// to is replaced and the link kept.
TEST_F(JknTest, ALinkedSettingsFileIsWrittenThrough) {
  ASSERT_EQ(sh("mkdir real && printf '[GNSS]\\r\\nPage=1\\r\\n' >real/g.ini && "
               "ln -s ../../real/g.ini root0/inf/jkn-gnss.ini"),
            0);
  run({{"set GNSS_Page 5", 0, "GNSS_Page = 5\n"},
       {"reset GNSS_Page", 0, "GNSS_Page = 0 (default)\n"},
       {"set GNSS_Page 7", 0, "GNSS_Page = 7\n"}});
  EXPECT_EQ(sh("readlink root0/inf/jkn-gnss.ini && cat real/g.ini"), 0);
  EXPECT_EQ(out_, "../../real/g.ini\n[GNSS]\r\nPage=7\r\n");
}

// A link that leads nowhere: POSIX (and Windows) refuse to write through it;
// Wine shows such a link to Windows programs as nothing at all, so the write
// makes a file in its place.
TEST_F(JknTest, ALinkThatLeadsNowhere) {
  ASSERT_EQ(sh("ln -s nowhere.ini root0/inf/jkn-gnss.ini"), 0);
  if (jknOnWindows()) {
    run({{"set GNSS_Page 5", 0, "GNSS_Page = 5\n"}});
    EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), withCrLf("[GNSS]\nPage=5\n"));
  } else {
    run({{"set GNSS_Page 5", 3,
          "jkn: cannot write root0/inf/jkn-gnss.ini: it is no regular file (a device, pipe, "
          "socket or a link to nothing); remove it (rm 'root0/inf/jkn-gnss.ini')\n"}});
    EXPECT_EQ(sh("readlink root0/inf/jkn-gnss.ini"), 0);
    EXPECT_EQ(out_, "nowhere.ini\n");
  }
}

// Paths in messages are the platform's own.
TEST_F(JknTest, PathsAreShownAsThePlatformWritesThem) {
  writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage=1x\n"));
  sh(kJkn + "check");
  const std::string sep = jknOnWindows() ? "\\" : "/";
  EXPECT_EQ(raw_.rfind("root0" + sep + "inf" + sep + "jkn-gnss.ini:2: ", 0), 0u) << raw_;
}

}  // namespace
}  // namespace trasso::test
