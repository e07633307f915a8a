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
    EXPECT_EQ(snapshot(), withCrLf("== root0/inf/JKN-NMEA.INI\n[NMEA]\nPort=5\n"));
  } else {
    run({{"get NMEA_Port", 0, "1\n"},
         {"check", 1, "fix:     mv 'root0/inf/JKN-NMEA.INI' 'root0/inf/jkn-nmea.ini'"},
         {"files", 0, " 7  jkn-nmea.ini      missing  writable  root0/inf/jkn-nmea.ini"},
         {"set NMEA_Port 5", 0, "NMEA_Port = 5\n"}});
    EXPECT_EQ(readBytes(inf("JKN-NMEA.INI")), withCrLf("[NMEA]\nPort=4\n"));
    EXPECT_EQ(readBytes(inf("jkn-nmea.ini")), withCrLf("[NMEA]\nPort=5\n"));
  }
}

// Windows takes a name in another case for the file everywhere: the ZETR
// profile, a file of root 0 lying in root 1, the key that load sets. Files in
// two folders are two on both (stat gives Windows no file number to tell them).
TEST_F(JknTest, NamesInAnotherCaseInCheckDumpAndLoad) {
  writeBytes(inf("JKN-ZETR.INI"), withCrLf("[NPR]\nVAL=5\n"));
  writeBytes(inf("JKN-GNSS.INI", 1), withCrLf("[GNSS]\nPage=2\n"));
  const std::string load =
      "load - <<'E'\n{\"jkn-dump\":1,\"settings\":["
      R"({"profile":"root0/p.ini","section":"A","key":"b","value":"1"},)"
      R"({"profile":"root1/p.ini","section":"A","key":"b","value":"2"},)"
      R"({"profile":"root0/P.INI","section":"a","key":"B","value":"3"}]})"
      "\nE\n";
  const bool windows = jknOnWindows();
  run({{"check", 1,
        windows ? "root1/inf/JKN-GNSS.INI: the application reads JKN-GNSS.INI from root 0 "
                  "(root0/inf/), never from here\n    fix:     move \"root1/inf/JKN-GNSS.INI\" "
                  "\"root0/inf/JKN-GNSS.INI\"\n1 finding in 2 settings files\n"
                : "root0/inf/JKN-ZETR.INI: the application opens jkn-zetr.ini, never JKN-ZETR.INI "
                  "(file names differ by case here)\n    fix:     mv 'root0/inf/JKN-ZETR.INI' "
                  "'root0/inf/jkn-zetr.ini'\nroot1/inf/JKN-GNSS.INI: the application opens "
                  "jkn-gnss.ini, never JKN-GNSS.INI (file names differ by case here)\n    fix:     "
                  "mv 'root1/inf/JKN-GNSS.INI' 'root1/inf/jkn-gnss.ini'\n2 findings in 2 settings "
                  "files\n"},
       {"dump", 0,
        std::string(windows ? "\nZETR_Npr_Value (JKN-ZETR.INI) = 5"
                            : "\nroot 0 JKN-ZETR.INI [NPR] VAL = \"5\"") +
            "\nroot 1 JKN-GNSS.INI [GNSS] Page = \"2\""},
       {load, windows ? 1 : 0,
        windows ? "jkn: entry 3: sets the same key as entry 1: root0/p.ini [A] b\njkn: nothing "
                  "changed: 1 entry refused (--skip-refused loads the others)\n"
                : "root0/p.ini [A] b: (not stored) -> '1'\nroot1/p.ini [A] b: (not stored) -> "
                  "'2'\nroot0/P.INI [a] B: (not stored) -> '3'\n3 changed, 0 unchanged\n"}});
}

// A settings file that is a link is written through on both: the file it leads
// to is replaced and the link kept. A link that leads nowhere: POSIX (and
// Windows) refuse to write through it; Wine shows such a link to Windows
// programs as nothing at all, so the write makes a file in its place.
TEST_F(JknTest, LinkedSettingsFiles) {
  ASSERT_EQ(sh("mkdir real && printf '[GNSS]\\r\\nPage=1\\r\\n' >real/g.ini && "
               "ln -s ../../real/g.ini root0/inf/jkn-gnss.ini && "
               "ln -s nowhere.ini root0/inf/jkn-nmea.ini"),
            0);
  run({{"set GNSS_Page 5", 0, "GNSS_Page = 5\n"},
       {"reset GNSS_Page", 0, "GNSS_Page = 0 (default)\n"},
       {"set GNSS_Page 7", 0, "GNSS_Page = 7\n"},
       jknOnWindows() ? Step{"set NMEA_Port 5", 0, "NMEA_Port = 5\n"}
                      : Step{"set NMEA_Port 5", 3,
                             "jkn: cannot write root0/inf/jkn-nmea.ini: it is no regular file (a "
                             "device, pipe, socket or a link to nothing); remove it (rm "
                             "'root0/inf/jkn-nmea.ini')\n"}});
  EXPECT_EQ(sh("readlink root0/inf/jkn-gnss.ini && cat real/g.ini"), 0);
  EXPECT_EQ(out_, "../../real/g.ini\n[GNSS]\r\nPage=7\r\n");
  if (jknOnWindows()) {
    EXPECT_EQ(readBytes(inf("jkn-nmea.ini")), withCrLf("[NMEA]\nPort=5\n"));
  } else {
    EXPECT_EQ(sh("readlink root0/inf/jkn-nmea.ini"), 0);
    EXPECT_EQ(out_, "nowhere.ini\n");
  }
}

// A path typed in Japanese reaches the same file on both (code page 932 for
// the library on Windows), and is shown as typed, in set, dump, load, check
// and a write that fails.
TEST_F(JknTest, JapanesePathsAsTyped) {
  ASSERT_EQ(sh("mkdir 設定 && printf '[NPR]\\r\\nVAL=5\\r\\nVAL=3\\r\\n' >設定/q.ini"), 0);
  run({{"set ZETR_Npr_Value 設定/p.ini 5", 0, "ZETR_Npr_Value 設定/p.ini = 5\n"},
       {"get ZETR_Npr_Value 設定/p.ini", 0, "5\n"},
       {"dump --json 設定/p.ini >d.json && rm 設定/p.ini && cat d.json", 0,
        "\"profile\": \"設定/p.ini\""},
       {"load d.json", 0, "ZETR_Npr_Value: (not stored) -> '5'\n1 changed, 0 unchanged\n"},
       {"check 設定/p.ini", 0, "no findings in 1 settings file\n"},
       {"zones 設定", 0, "* 第 1系："},
       {"check 設定/q.ini", 1,
        "設定/q.ini:3: key already set at line 2; only the first is read\n"
        "    setting: ZETR_Npr_Value\n    stored:  VAL=3\n    read:    nothing of this line\n"
        "    choose:  keep 5 (read now): delete the line 'VAL=3' of [NPR] from 設定/q.ini\n"
        "    or:      keep 3: jkn set ZETR_Npr_Value " +
            shellWord("設定/q.ini") +
            " 3; then delete the line 'VAL=3' of [NPR] from 設定/q.ini\n"
            "1 finding in 1 settings file\n"},
       {"set ZETR_Npr_Value 無い/p.ini 5", 3,
        "jkn: folder 無い does not exist; create it first (" + makeFolderFix("無い") + ")\n"}});
  EXPECT_EQ(readBytes(root(0) + "/../設定/p.ini"), withCrLf("[NPR]\nVAL=5\n"));
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
