// The real jkn program on temporary roots: each command's exact output and the
// exact bytes it leaves, and every refusal with its status and an unchanged folder.
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "JknFixture.h"
#include "cli/Commands.h"
#include "cli/Stored.h"
#include "cli/Values.h"

namespace trasso::test {
namespace {

TEST_F(JknTest, CheckFindsWhatTheApplicationReadsOtherwise) {
  writeBytes(inf("jkn-gnss.ini"),
             withCrLf("Page=1\n[GNSS]\n; set by the office\nMaskElev=12 ; 2026-03\nPortNo=0x10\n"
                      "PortNo_Svy=0o17\nPage=-0b101\nMaskElev_Svy=12abc\nProtocol=0X10\n"
                      "PortNoS=4294967297\nMaskSate=70000\nMaskElv=5\nUserID=a\x80z\n"
                      "Address=\xE6\x97\xA5\xC3\xA9\nImuObs\nImuObs=1\npage=2\n[gnss]\nPage=3\n"));
  writeBytes(inf("def-share.ini"), withCrLf("[Logg]\nLCOL=300,12\n[SKSG]\nNCOL=  5, 20,255\n"));
  writeBytes(inf("def-ts.ini"),
             withCrLf("[TS]\nBtDevAddr=" + std::string(40, 'A') + "\n[Mkhy]\n07=1\n"));
  sh("cd root0/inf && mkdir jkn-nmea.ini && touch .jkn-gnss.ini.tmp NTrip.ini && echo x >n.txt");
  // 0x83 0x41 and 0x83 0x61 differ in a letter-like second byte: two sections.
  writeBytes(inf("other.ini"), withCrLf("[\x83\x41]\nx=1\n[\x83\x61]\n"));
  writeBytes(root(0) + "/site.ini", withCrLf("[NPR]\nVAL=150\n[SCH]\nUSE=1\nHOR=4\n[TGT]\nTYP1=1"));
  EXPECT_EQ(sh(kJkn + "check --json root0/site.ini"), 1) << out_;
  // file:line kind name selector read (a JSON value; none where nothing is read)
  std::string found;
  for (nlohmann::json& f : nlohmann::json::parse(out_)) {
    const std::string file = f["file"], kind = f["kind"];
    std::string setting;
    for (const char* field : {"name", "selector", "read"}) {
      if (!f[field].is_null())
        setting += " " + (f[field].is_string() ? f[field].get<std::string>() : f[field].dump());
    }
    found +=
        file.substr(file.rfind('/') + 1) + ":" + f["line"].dump() + " " + kind + setting + "\n";
  }
  // A key line without '=' and the lines it hides are one finding, and so are a
  // repeated section and the keys it hides.
  EXPECT_EQ(found,
            ".jkn-gnss.ini.tmp:null temporary\nNTrip.ini:null other-root\n"
            "def-share.ini:2 colour LogColor 44,12,255 #2c0cff\n"
            "def-ts.ini:2 cut TS_BtDevAddr AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n"
            "def-ts.ini:4 unknown-key Mkhy 7\njkn-gnss.ini:1 outside-section\n"
            "jkn-gnss.ini:8 integer GNSS_MaskElev svy 12\njkn-gnss.ini:9 integer GNSS_NTripP 0\n"
            "jkn-gnss.ini:10 integer GNSS_PortNoS 1\n"
            "jkn-gnss.ini:11 integer GNSS_MaskSate plain 4464\njkn-gnss.ini:12 unknown-key\n"
            "jkn-gnss.ini:13 code-page GNSS_UserID {\"hex\":\"61807a\"}\n"
            "jkn-gnss.ini:14 code-page GNSS_Address 譌･ﾃｩ\n"
            "jkn-gnss.ini:15 no-equals GNSS_ImuObs 0\njkn-gnss.ini:17 duplicate-key GNSS_Page\n"
            "jkn-gnss.ini:18 duplicate-section\njkn-nmea.ini:null not-regular\n"
            "site.ini:2 range PL30_Npr_Value 150\n"
            "site.ini:5 range PL30_Sch_HRangeRad 4.0\n"
            "site.ini:7 unknown-key PL30_Tgt_PsmType\n");
  // Dump takes what a reader sees: no key again, no section again.
  run({{"dump", 0, "GNSS_Address = \"譌･ﾃｩ\"\nroot 0 other.ini"}});
}

// The commands of single settings one after the other, the files they leave,
// refusals that change nothing, and dump and load into empty roots.
TEST_F(JknTest, CommandsAndTheFilesTheyLeave) {
  run({{"set GNSS_MaskElev svy 10", 0, "GNSS_MaskElev svy = 10\n"},
       {"set GNSS_MaskSate 65535", 0, "GNSS_MaskSate plain = 65535\n"},
       {"set GNSS_Address 東京", 0, "GNSS_Address = 東京\n"},
       {"get GNSS_Address --raw", 0, "\x93\x8c\x8b\x9e\n"},
       // Windows takes arguments as UTF-16 text: no bytes of code page 932 come raw.
       jknOnWindows() ? Step{"set GNSS_UserID あ", 0, "GNSS_UserID = あ\n"}
                      : Step{"set GNSS_UserID --raw '\x82\xa0'", 0, "GNSS_UserID = \x82\xa0\n"},
       {"set SksNormColor 5,0,7", 0, "SksNormColor = 5,0,7 #050007\n"},
       {"set RectObsWide 1.23456 --json", 0, "\"stored\": true,\n  \"value\": 1.235\n}"},
       {"get RectObsWide --json", 0, "\"default\": 0.5,\n  \"differs\": true,"},
       {"set Use 9 +0", 0, "Use 9 = 0\n"},
       {"set Mkhy -2147483648 2.5", 0, "Mkhy -2147483648 = 2.5\n"},
       {"set ZETR_Npr_Value 42", 0, "ZETR_Npr_Value root0/inf/jkn-zetr.ini = 42\n"},
       {"set ZETR_Tgt1_PsmType root0/p.ini 5", 0, "ZETR_Tgt1_PsmType root0/p.ini = 5\n"},
       {"set RecSize disp-gnss.ini 200", 0, "RecSize 11 = 200\n"},
       {"set RecSize 3 0", 0, "RecSize 3 = 0\n"},
       {"reset GNSS_MaskElev svy", 0, "GNSS_MaskElev svy = 15 (default)\n"},
       {"reset NMEA_Port", 0, "NMEA_Port = 1 (default)\n"},
       {"list DISP-GNSS.INI", 0,
        "* RecSize 11                         200 (default 0)          disp-gnss.ini [0] RecSize"},
       {"list zetr --changed", 0,
        "* ZETR_Npr_Value                     42 (default 3)           jkn-zetr.ini [NPR] VAL\n"},
       {"describe GNSS_MaskSate", 0, "  key:       MaskSate (plain), MaskSate_Svy (svy)"},
       {"describe LogColor", 0, "  accepts:   read-only"},
       {"reset --help", 0, "Exit status:\n  0  removed, or nothing was stored"},
       {"--help", 0, "Exit status:\n  0  done"}});
  // A text that is no code page 932 travels as bytes (a key no setting reads:
  // the screen colours of a section are settings).
  sh("printf '[1]\\r\\nMessBox=\\200\\377\\r\\n' >>root1/inf/disp-navi.ini");
  makeReadOnly(inf("def-ts.ini"));
  const std::string files = withCrLf(
      "== root0/inf/def-share.ini\n[SKSG]\nNCOL=  5,  0,  7\n[RCOB]\nWIDE=1.235\n"
      "== root0/inf/def-ts.ini\n[Use]\nKkou=0\n[Mkhy]\n-2147483648=2.5\n"
      "== root0/inf/disp-gnss.ini\n[0]\nRecSize=200\n"
      "== root0/inf/jkn-gnss.ini\n[GNSS]\nMaskSate=65535\nAddress=\x93\x8c\x8b\x9e\n"
      "UserID=\x82\xa0\n== root0/inf/jkn-zetr.ini\n[NPR]\nVAL=42\n== root0/p.ini\n[TGT]\nTYP=5\n"
      "== root1/inf/disp-navi.ini\n[0]\nRecSize=0\n[1]\nMessBox=\x80\xFF\n");
  EXPECT_EQ(snapshot(), files);
  // The good entry's file is read-only: had it been written before the other entry
  // was refused, load would end with status 4.
  auto load = [](int status, const std::string& why, const std::string& entry) {
    return Step{"load - <<'E'\n" + kDoc + entry + "]}\nE\n", status, why};
  };
  run({{"files", 0, "read-only root0/inf/def-ts.ini\n 2  def-nmea.ini      missing  writable"},
       {"get GNSS_MaskElv", 2, "unknown setting 'GNSS_MaskElv'; closest: GNSS_MaskElev"},
       {"frobnicate", 2, "unknown command 'frobnicate'; the commands are in"},
       {"list Nowhere", 2, "'Nowhere' is no area"},
       {"get Mkhy", 2, "Mkhy needs a selector"},
       {"set GNSS_MaskElev abc", 1, "an integer from -2147483648 to 2147483647; got 'abc'"},
       {"set GNSS_MaskSate 70000", 1, "an integer from 0 to 65535; got '70000'"},
       {"set NMEA_Parity -1", 1, "an integer from 0 to 255; got '-1'"},
       {"set GNSS_Address 'a\nb'", 1, "GNSS_Address takes a text without line breaks"},
       {"set GNSS_Address 😀", 1, "cannot be stored in code page 932"},
       {"set TS_BtDevAddr " + std::string(32, '0'), 1, "reads at most 31 bytes"},
       {"set ZETR_Tgt1_PsmType 6", 1, "an integer from 1 to 5; got '6'"},
       {"set PL30_Sch_HRangeRad 3.2", 1, "a number from 0 to 3.141592653589793; got '3.2'"},
       {"set SksNormColor 1,2", 1,
        "a colour: red,green,blue, each from 0 to 255, or #rrggbb; got '1,2'"},
       {"set TS_UseScale 2", 1, "TS_UseScale takes 0 or 1"},
       {"set GNSS_ImuObs 5", 1, "GNSS_ImuObs takes 0 or 1"},
       {"set LogColor 1,2,3", 1, "LogColor is read-only"},
       {"set Use 9 1", 4,
        "jkn: cannot write root0/inf/def-ts.ini: the file is read-only; make it writable (" +
            writableFix("root0/inf/def-ts.ini") + ")\n"},
       {"reset Use 9", 4, "cannot write root0/inf/def-ts.ini: the file is read-only"},
       {"set ZETR_Tgt1_PsmType no/p.ini 2", 3, "(" + makeFolderFix("no") + ")"},
       {"reset ZETR_Tgt1_PsmType no/p.ini", 3, "(" + makeFolderFix("no") + ")"},
       {"check root0/missing.ini", 2, "profile root0/missing.ini does not exist"},
       {"load - <<'E'\nx\nE\n", 2, "is no JSON document"},
       {"load - <<'E'\n{\"jkn-dump\":2,\"settings\":[]}\nE\n", 2, "is no document of 'jkn"},
       load(1, "entry 2: unknown setting 'RecMx'; closest: RecMax", R"({"name":"RecMx"})"),
       load(1, "\"value\" of GNSS_MaskElev must be a JSON number (an integer from",
            R"({"name":"GNSS_MaskElev","value":"1"})"),
       load(1, "(give the bytes as \"hex\")", R"({"name":"GNSS_UserID","value":"\ud83d\ude00"})"),
       load(1, "RecMax is read-only", R"({"name":"RecMax","value":1})"),
       load(1, "must be a file name", R"({"root":0,"file":"a/x"})"),
       load(1, "must be a file name", R"({"root":0,"file":"."})"),
       load(1, "a line break", R"({"root":0,"file":"x","section":"A","key":"b","value":"c\nd"})"),
       load(4,
            "nothing changed: cannot write root0/inf/def-ts.ini: the file is read-only; make it "
            "writable (" +
                writableFix("root0/inf/def-ts.ini") + ")",
            R"({"name":"ZETR_Npr_Value","profile":"n/p","value":2})"),
       {"load - <<'E'\n{\"jkn-dump\":1,\"settings\":[{\"name\":\"GNSS_Page\",\"value\":3},"
        "{\"name\":\"ZETR_Npr_Value\",\"profile\":\"n/p\",\"value\":2}]}\nE\n",
        3,
        "jkn: nothing changed: folder n does not exist; create it first (" + makeFolderFix("n") +
            ")\n"},
       load(4, "cannot write root0/inf/def-ts.ini: the file is read-only",
            R"({"name":"GNSS_Page","value":1})")});
  EXPECT_EQ(snapshot(), files);
  run({{"dump root0/p.ini", 0,
        "(jkn-zetr.ini) = 42\nRecSize 3 = 0\nroot 1 disp-navi.ini [1] MessBox = (bytes) 80ff\n"
        "ZETR_Tgt1_PsmType root0/p.ini = 5"}});
  sh(kJkn + "dump --json root0/p.ini >dump.json && rm -r root0/* root1/inf/* && mkdir root0/inf");
  run({{"load dump.json", 0, "GNSS_MaskSate plain: (not stored) -> '65535'"},
       {"load dump.json", 0, "0 changed, 12 unchanged\n"},
       {"dump --json root0/p.ini", 0, readBytes(root(0) + "/../dump.json")},
       // A profile named without a folder lies in the current one.
       {"load - <<'E'\n{\"jkn-dump\":1,\"settings\":[{\"name\":\"ZETR_Tgt1_PsmType\","
        "\"profile\":\"bare.ini\",\"value\":4}]}\nE\n",
        0, "ZETR_Tgt1_PsmType: (not stored) -> '4'\n1 changed, 0 unchanged\n"}});
  EXPECT_EQ(snapshot(), files);
  EXPECT_EQ(readBytes(root(0) + "/../bare.ini"), "[TGT]\r\nTYP=4\r\n");
}

// load checks the whole document before it writes and then writes all of it or
// nothing: a misspelt field, a value of the wrong JSON type, two entries for one
// key, a read-only file or a write that fails halfway leave every file as it was.
TEST_F(JknTest, LoadWritesAllOrNothing) {
  writeBytes(inf("jkn-gnss.ini"), withCrLf("; office\n[GNSS]\nMaskElev_Svy = 12\n"));
  writeBytes(inf("def-ts.ini"), "[Use]\r\n");
  makeReadOnly(inf("def-ts.ini"));
  // Larger than the file size limit of the halfway failure below.
  writeBytes(root(0) + "/../big.ini", std::string(20000, ';'));
  const std::string before = snapshot();
  // Entry 1 changes a file, entry 2 creates one; then the entries given.
  auto doc = [](const std::string& entries) {
    return R"(- <<'E'
{"jkn-dump":1,"settings":[{"name":"GNSS_MaskElev","selector":"svy","value":10},)"
           R"({"name":"NMEA_Port","value":3})" +
           entries + "]}\nE\n";
  };
  auto refused = [&](const std::string& entries, const std::string& why, int count = 1) {
    return Step{"load " + doc(entries), 1,
                why + "jkn: nothing changed: " + std::to_string(count) +
                    (count == 1 ? " entry" : " entries") +
                    " refused (--skip-refused loads the others)\n"};
  };
  const std::string readOnly =
      "jkn: nothing changed: cannot write root0/inf/def-ts.ini: the file is read-only; make it "
      "writable (" +
      writableFix("root0/inf/def-ts.ini") + ")\n";
  const std::string big = R"(,{"name":"ZETR_Tgt1_PsmType","profile":"big.ini","value":2})";
  run({refused(R"(,{"name":"GNSS_MaskElev","selectr":"plain","value":1})",
               "jkn: entry 3: unknown field 'selectr'; did you mean 'selector'?\n"),
       refused(R"(,{"name":"NMEA_Port","zz":1})",
               "jkn: entry 3: unknown field 'zz'; the fields are name, selector, value, hex, "
               "root, file, profile, section, key\n"),
       refused(R"(,{"name":"GNSS_MaskSate","value":true},{"name":"GNSS_UserID","value":12})",
               "jkn: entry 3: \"value\" of GNSS_MaskSate must be a JSON number (an integer from "
               "0 to 65535); got true\njkn: entry 4: \"value\" of GNSS_UserID must be a JSON text "
               "(a text of at most 259 bytes in code page 932, without line breaks); got 12\n",
               2),
       refused(R"(,{"name":"SksNormColor","value":5})",
               "jkn: entry 3: \"value\" of SksNormColor must be a JSON text (a colour: "
               "red,green,blue, each from 0 to 255); got 5\n"),
       refused(R"(,{"name":"GNSS_MaskSate","hex":"31"})",
               "jkn: entry 3: \"hex\" gives the bytes of a text; GNSS_MaskSate takes an integer "
               "from 0 to 65535\n"),
       refused(R"(,{"root":0,"file":"x.ini","section":"A","key":"b","value":1})",
               "jkn: entry 3: \"value\" must be a JSON text or {\"hex\": ...}; got 1\n"),
       refused(R"(,{"name":"GNSS_UserID","selector":"svy","value":"a"})",
               "jkn: entry 3: GNSS_UserID takes no 'selector'\n"),
       refused(R"(,{"root":0,"file":"x.ini","selector":"1","section":"A","key":"b","value":"1"})",
               "jkn: entry 3: an entry without \"name\" takes no 'selector'\n"),
       refused(R"(,{"name":"GNSS_MaskElev","value":1,"hex":"31"})",
               "jkn: entry 3: give \"value\" or \"hex\", not both\n"),
       refused(R"(,{"name":"GNSS_MaskElev","selector":"1","value":11})",
               "jkn: entry 3: sets the same key as entry 1: root0/inf/jkn-gnss.ini [GNSS] "
               "MaskElev_Svy\n"),
       refused(R"(,{"root":0,"file":"jkn-nmea.ini","section":"nmea","key":"PORT","value":"4"})",
               "jkn: entry 3: sets the same key as entry 2: root0/inf/jkn-nmea.ini [NMEA] Port\n"),
       refused(R"(,{"profile":"root0/p.ini","section":"A","key":"b","value":"1"},)"
               R"({"profile":"root0/./p.ini","section":"a","key":"B","value":"2"})",
               "jkn: entry 4: sets the same key as entry 3: root0/p.ini [A] b\n"),
       {"load root0", 2, "jkn: root0 is a folder, not a document ('jkn dump --json' makes one)\n"},
       {"load none.json", 2, "jkn: cannot read none.json: No such file or directory\n"},
       {"load --skip-refused - <<'E'\n{\"jkn-dump\":1,\"settings\":[],\"setting\":0}\nE\n", 2,
        "jkn: standard input is no document of 'jkn dump --json': unknown field 'setting'; did "
        "you mean 'settings'?\n"},
       {"load - <<'E'\n{\"jkn-dump\":true,\"settings\":[]}\nE\n", 2,
        "jkn: standard input is no document of 'jkn dump --json': \"jkn-dump\" must be the "
        "number 1; got true\n"},
       {"load " + doc(R"(,{"name":"Use","selector":"10","value":1})"), 4, readOnly},
       {"load --dry-run " + doc(R"(,{"name":"Use","selector":"10","value":1})"), 4, readOnly},
       {"load --dry-run " + doc(big), 0,
        "GNSS_MaskElev svy: '12' -> '10'\nNMEA_Port: (not stored) -> '3'\n"
        "ZETR_Tgt1_PsmType: (not stored) -> '2'\n3 to change, 0 unchanged (dry run: nothing "
        "written)\n"}});
  // Entries 1 and 2 are written when entry 3's write fails: they are put back.
  // Wine reports a write past the size limit as an I/O error.
  EXPECT_EQ(sh("ulimit -f 8 && trap '' XFSZ && " + kJkn + "load " + doc(big)),
            jknOnWindows() ? 7 : 5);
  EXPECT_EQ(out_,
            "jkn: nothing changed: cannot write big.ini: " +
                std::string(jknOnWindows()
                                ? "the disk reported an I/O error; check the disk\n"
                                : "the disk is full or the file too large; free some space\n"));
  EXPECT_EQ(snapshot(), before);
  // Refused entries skipped, the rest loaded; names differing in a double-byte
  // character's second byte are two sections.
  const std::string skipping =
      doc(R"(,{"name":"GNSS_MaskSate","value":false},{"name":"NMEA_Port","value":4},)"
          R"({"profile":"root0/p.ini","section":"ア","key":"k","value":"1"},)"
          R"({"profile":"root0/p.ini","section":"ヂ","key":"K","value":"2"})");
  const std::string loaded =
      "jkn: entry 3 skipped: \"value\" of GNSS_MaskSate must be a JSON number (an integer from 0 "
      "to 65535); got false\njkn: entry 4 skipped: sets the same key as entry 2: "
      "root0/inf/jkn-nmea.ini [NMEA] Port\nGNSS_MaskElev svy: '12' -> '10'\nNMEA_Port: (not "
      "stored) -> '3'\nroot0/p.ini [ア] k: (not stored) -> '1'\nroot0/p.ini [ヂ] K: (not stored) "
      "-> '2'\n4 ";
  run({{"load --skip-refused --dry-run " + skipping, 1,
        loaded + "to change, 0 unchanged, 2 skipped (dry run: nothing written)\n"}});
  EXPECT_EQ(snapshot(), before);
  run({{"load --skip-refused " + skipping, 1, loaded + "changed, 0 unchanged, 2 skipped\n"},
       {"load --skip-refused " + doc(""), 0, "0 changed, 2 unchanged\n"}});
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")) + readBytes(inf("jkn-nmea.ini")) +
                readBytes(root(0) + "/p.ini"),
            withCrLf("; office\n[GNSS]\nMaskElev_Svy =10\n[NMEA]\nPort=3\n"
                     "[\x83\x41]\nk=1\n[\x83\x61]\nK=2\n"));
}

// A value is taken as given, whatever its characters; what the application
// cannot write, jkn does not remove; a wide value written as a negative number
// is the setter's own form, which check accepts.
TEST_F(JknTest, ValuesAsGivenReadOnlyKeptWideNumbersTrue) {
  writeBytes(inf("sound.ini", 1), withCrLf("[Wav]\n0=beep.wav\n"));
  writeBytes(inf("def-share.ini"), withCrLf("[Rec]\nMax=7\n[Logg]\nLCOL=1,2,3\n"));
  run({{"set GNSS_MountPTX '[A]'", 0, "GNSS_MountPTX = [A]\n"},
       {"set GNSS_MountPTX '[a,b]'", 0, "GNSS_MountPTX = [a,b]\n"},
       {"set GNSS_MaskElev svy '[1]'", 1, "takes an integer"},
       {"reset WavName 0", 1, "WavName is read-only"},
       {"reset RecMax", 1, "RecMax is read-only"},
       {"reset LogColor", 1, "LogColor is read-only"},
       {"set NMEA_Interval 4294967295", 0, "NMEA_Interval = 4294967295\n"},
       {"get NMEA_Interval", 0, "4294967295\n"},
       {"describe NMEA_Interval", 0, "unsigned 32-bit; written as a signed decimal"},
       {"check", 0, "no findings in 4 settings files\n"},
       {"reset", 2, "NAME is required"},
       {"get", 2, "NAME is required"},
       {"antenna list --json", 0, "[]\n"},

       {"describe", 2, "NAME is required"},
       {"describe RecSize", 0, "  file:      the settings file the selector names"},
       {"describe GNSS_MaskElev", 0, "  key:       MaskElev (plain), MaskElev_Svy (svy)"}});
  EXPECT_EQ(sh(kJkn + "describe GNSS_Page"), 0);
  EXPECT_EQ(out_.find("the selector names"), std::string::npos) << out_;
  writeBytes(inf("raw.ini"), withCrLf("[A]\ny=1\n[A]\nx=2\n"));
  run({// A field nowhere near a known one is not guessed at.
       {"load - <<'E'\n{\"jkn-dump\":1,\"settings\":[{\"name\":\"GNSS_Page\",\"valuexyz\":1,"
        "\"value\":1}]}\nE\n",
        1, "entry 1: unknown field 'valuexyz'; the fields are name, selector, value"},
       // Only the first of two sections of a name is what load compares with:
       // the key of the second is not stored as far as the reader goes.
       {"load --unread-files - "
        "<<'E'\n{\"jkn-dump\":1,\"settings\":[{\"root\":0,\"file\":\"raw.ini\","
        "\"section\":\"A\",\"key\":\"x\",\"value\":\"2\"}]}\nE\n",
        0, "root0/inf/raw.ini [A] x: (not stored) -> '2'\n1 changed, 0 unchanged\n"}});
  EXPECT_EQ(readBytes(inf("raw.ini")), withCrLf("[A]\ny=1\nx=2\n[A]\nx=2\n"));
  std::remove(inf("raw.ini").c_str());
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), withCrLf("[GNSS]\nMountPTX=[a,b]\n"));
  EXPECT_EQ(readBytes(inf("jkn-nmea.ini")), withCrLf("[NMEA]\nInterval=-1\n"));
  EXPECT_EQ(readBytes(inf("sound.ini", 1)), withCrLf("[Wav]\n0=beep.wav\n"));
  EXPECT_EQ(readBytes(inf("def-share.ini")), withCrLf("[Rec]\nMax=7\n[Logg]\nLCOL=1,2,3\n"));

  // Help, version and a mistyped command.
  run({{"lst", 2, "jkn: unknown command 'lst'; did you mean 'list'?\nRun with --help"},
       {"chek", 2, "did you mean 'check'?"},
       {"help", 0, "Usage: jkn [OPTIONS] SUBCOMMAND"},
       {"--version", 0, "jkn " TRASSOJKN_VERSION "\n"},
       {"set --help", 0, "  4  the file is read-only"},
       // No bytes of no text come as an argument on Windows: a document brings them.
       jknOnWindows()
           ? Step{"load - <<'E'\n{\"jkn-dump\":1,\"settings\":[{\"name\":\"GNSS_UserID\","
                  "\"hex\":\"61807a\"}]}\nE\n",
                  0, "1 changed, 0 unchanged"}
           : Step{"set --raw GNSS_UserID $(printf 'a\\200z')", 0, "GNSS_UserID = "},
       {"get --raw --json GNSS_UserID", 0, "\"value\": {\n    \"hex\": \"61807a\"\n  }"}});
  // Catalogue commands say what is there and refuse what cannot be answered.
  run({{"antenna init", 1, "lists no sensor; root0/inf/AntennaLocal.ini not made"},
       {"zones nonexist", 3, "jkn: folder nonexist does not exist\n"},
       {"station-name 245 --mode 9", 2, "--mode: Value 9 not in range 0 to 3"}});

  // A check that could not look is no clean check.
  const std::string jkn = " " JKN_BINARY " check";
  EXPECT_EQ(sh("KORVEL_APPDATA_0=root0/inf/def-share.ini KORVEL_APPDATA_1=root1" + jkn), 2);
  EXPECT_EQ(out_,
            "jkn: cannot check: settings folder root0/inf/def-share.ini/inf of root 0 has a "
            "file in its path (KORVEL_APPDATA_0=root0/inf/def-share.ini)\n");
  EXPECT_EQ(sh("KORVEL_APPDATA_0=root0 KORVEL_APPDATA_1=root9 " JKN_BINARY " dump"), 3);
  EXPECT_EQ(out_,
            "jkn: cannot dump: settings folder root9/inf of root 1 does not exist "
            "(KORVEL_APPDATA_1=root9)\n");
  EXPECT_EQ(sh("KORVEL_APPDATA_0=root0 KORVEL_APPDATA_1=root9" + jkn), 2);
  EXPECT_EQ(out_,
            "jkn: cannot check: settings folder root9/inf of root 1 does not exist "
            "(KORVEL_APPDATA_1=root9)\n");
}

// A file the reader never opens is no settings file of the application, and a
// value the application reads but load would refuse is a finding: what check
// passes, a dump carries to another device.
TEST_F(JknTest, CheckNamesFilesNotReadAndValuesLoadRefuses) {
  writeBytes(inf("JKN-NMEA.INI"), withCrLf("[NMEA]\nPort=4\n"));
  writeBytes(inf("jkn_gnss.ini"), withCrLf("[GNSS]\nPage=1\n"));
  writeBytes(inf("def-share.ini"), withCrLf("[Use]\nNoNm=5\nMemo=1\nZz=\xC3\xA9\x80\n"));
  writeBytes(inf("jkn-ts.ini"), withCrLf("[TS]\nVKubun=7\nUseScaleValue=1\n"));
  writeBytes(inf("jkn-soku.ini"), withCrLf("[HOSEI]\nSCL=+2.5\nAVEH=-0.25\n"));  // plain numbers
  writeBytes(inf("x.ini"), withCrLf("[S]\nk=1\n"));  // a name like no file's: no finding
  EXPECT_EQ(sh(kJkn + "check --json"), 1) << out_;
  std::string found;
  std::vector<nlohmann::json> fixes;
  for (nlohmann::json& f : nlohmann::json::parse(out_)) {
    const std::string file = f["file"];
    found += file.substr(file.rfind('/') + 1) + " " + f["kind"].get<std::string>() + " " +
             (f["name"].is_null() ? "-" : f["name"].get<std::string>()) + ": " +
             f["why"].get<std::string>().substr(0, 45) + "\n";
    if (f["kind"] == "not-read") fixes.push_back(f["fix"]);
  }
  // Windows opens JKN-NMEA.INI as jkn-nmea.ini.
  EXPECT_EQ(
      found,
      (jknOnWindows() ? ""
                      : "JKN-NMEA.INI not-read -: the application opens jkn-nmea.ini, never "
                        "JKN\n") +
          std::string(
              "def-share.ini not-settable Use: the application reads this, but Use takes 0 o\n"
              "def-share.ini unknown-key -: no setting reads key 'Zz' of [Use]; the close\n"
              "jkn-ts.ini not-settable TS_VKubun: the application reads this, but TS_VKubun "
              "tak\njkn_gnss.ini not-read -: the application opens jkn-gnss.ini, never jkn\n"));
  // A move as a command of the platform, its words as data.
  const auto move = [](const std::string& from, const std::string& to) {
    return nlohmann::json{{"text", moveFix(from, to)},
                          {"steps", {{{"argv", {jknOnWindows() ? "move" : "mv", from, to}}}}}};
  };
  EXPECT_EQ(fixes.back(), move("root0/inf/jkn_gnss.ini", "root0/inf/jkn-gnss.ini"));
  if (!jknOnWindows()) {
    EXPECT_EQ(fixes.front(), move("root0/inf/JKN-NMEA.INI", "root0/inf/jkn-nmea.ini"));
    EXPECT_NE(out_.find("never JKN-NMEA.INI (file names differ by case here)\""),
              std::string::npos);
  }

  // Dump keeps such a file's keys as bytes of that file, no setting's.
  EXPECT_EQ(sh(kJkn + "dump"), 0);
  EXPECT_NE(out_.find("root 0 x.ini [S] k = \"1\"\n"), std::string::npos) << out_;
  std::remove(inf("x.ini").c_str());
  if (jknOnWindows()) {
    EXPECT_NE(out_.find("\nNMEA_Port = 4\n"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("JKN-NMEA.INI"), std::string::npos) << out_;
  } else {
    EXPECT_NE(out_.find("root 0 JKN-NMEA.INI [NMEA] Port = \"4\"\n"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("NMEA_Port"), std::string::npos) << out_;
  }

  // A file in UTF-16 reads as the defaults, as check says of it.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[NMEA]\r\nPort=4\r\n")) utf16 += std::string{c, '\0'};
  writeBytes(inf("jkn-nmea.ini"), utf16);
  for (const char* name :
       {"JKN-NMEA.INI", "jkn_gnss.ini", "def-share.ini", "jkn-ts.ini", "jkn-soku.ini"}) {
    std::remove(inf(name).c_str());
  }
  run({{"get NMEA_Port", 0, "1\n"}});

  // A section in a file the application never reads it from; the RTK record's
  // [GNSS] of jkn-gnss-rtk.ini is its own.
  std::remove(inf("jkn-nmea.ini").c_str());
  writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage=1\n[NMEA]\nPort=3\n"));
  writeBytes(inf("jkn-gnss-rtk.ini"), withCrLf("[GNSS]\nRTKRadio=1\n"));
  writeBytes(inf("jkn-ts.ini"), withCrLf("[Mkhy]\n0=a\n"));
  writeBytes(inf("jkn-gnss.ini", 1), withCrLf("[GNSS]\nPage=2\n"));
  run({{"check", 1,
        "root0/inf/jkn-gnss.ini:4: the application reads NMEA_Port from [NMEA] of jkn-nmea.ini, "
        "never from jkn-gnss.ini\n    setting: NMEA_Port\n    stored:  Port=3\n"
        "    read:    nothing of this line (jkn-nmea.ini gives 1)\n"
        "    fix:     jkn set NMEA_Port 3; then delete the line 'Port=3' of [NMEA] from "
        "root0/inf/jkn-gnss.ini (and the section once it holds no key)\n"
        "root0/inf/jkn-ts.ini:2: the application reads Mkhy 0 from [Mkhy] of def-ts.ini, never "
        "from jkn-ts.ini\n    setting: Mkhy 0\n    stored:  0=a\n"
        "    read:    nothing of this line (def-ts.ini gives \"0.000\")\n"
        "    fix:     jkn set Mkhy 0 a; then delete the line '0=a' of [Mkhy] from "
        "root0/inf/jkn-ts.ini (and the section once it holds no key)\n"
        "root1/inf/jkn-gnss.ini: the application reads jkn-gnss.ini from root 0 (root0/inf/), "
        "never from here\n    fix:     move what you need of it into root0/inf/jkn-gnss.ini; "
        "then " +
            removeFix("root1/inf/jkn-gnss.ini") + "\n3 findings in 4 settings files\n"}});
}

// Terminal columns of UTF-8 texts: wide and fullwidth characters take two.
TEST(JknColumns, DisplayWidthCountsWideCharactersTwice) {
  const std::pair<const char*, size_t> rows[] = {{"", 0},       {"abc", 3},
                                                 {"東京駅", 6}, {"ｱｲ", 2},  // halfwidth kana
                                                 {"（G2）", 6}, {"\xE2\x80\x94", 1},
                                                 {"a\x80z", 3}, {"\xE6\x9D", 2},  // cut
                                                 {"한", 2},     {"\xF0\xA0\x80\x8B", 2},
                                                 {"Ωa", 2},     {"｡｠", 3}};
  for (const auto& [text, width] : rows) EXPECT_EQ(jkn::displayWidth(text), width) << text;
  EXPECT_EQ(jkn::displayWidth("\xF0\xBF\xBF\xBE"), 1u);  // U+3FFFE, past the ideographs
  EXPECT_EQ(jkn::padRight("東京", 6), "東京  ");
  EXPECT_EQ(jkn::padRight("東京駅", 4), "東京駅");
}

// A failed write's message and exit status come from the status table: one
// cause of each form (the path, its folder, a command that mends it, a status
// shown as another) is enough.
TEST_F(JknTest, AFailedWriteSaysWhyAndWhatToDo) {
  const std::tuple<WriteStatus, int, std::string> causes[] = {
      {WriteStatus::FolderMissing, 3, "folder d does not exist; create it first (mkdir -p 'd')"},
      {WriteStatus::NotAFolder, 3,
       "cannot write d/f.ini: a file stands in the path of folder d; move it away, or point the "
       "root at a folder"},
      {WriteStatus::FileIsFolder, 3,
       "cannot write d/f.ini: a folder stands where the settings file belongs; remove it (rmdir "
       "'d/f.ini')"},
      {WriteStatus::ReadOnly, 4,
       "cannot write d/f.ini: the file is read-only; make it writable (chmod u+w 'd/f.ini')"},
      {WriteStatus::Refused, 1,
       "cannot write d/f.ini: a section, key or value with a line break cannot be stored; "
       "nothing written"},
      {WriteStatus::Unchanged, 7,
       "cannot write d/f.ini: the disk reported an I/O error; check the disk"}};
  for (const auto& [cause, status, message] : causes) {
    const jkn::Failure f = jkn::writeFailure(cause, "d/f.ini");
    EXPECT_EQ(std::make_pair(f.status, f.message), std::make_pair(status, message));
  }
  // A path's own braces are the path's, never a place of the message.
  EXPECT_EQ(jkn::writeFailure(WriteStatus::NotAFolder, "{folder}/{path}").message,
            "cannot write {folder}/{path}: a file stands in the path of folder {folder}; move it "
            "away, or point the root at a folder");
  sh("mkdir root0/inf/jkn-gnss.ini && ln -s nowhere root0/inf/jkn-nmea.ini && "
     "rm -r root1 && touch root1");
  run({{"set GNSS_Page 1", 3, "cannot write root0/inf/jkn-gnss.ini: a folder stands where"},
       // Wine shows no link to nothing: the file is missing there.
       jknOnWindows() ? Step{"reset NMEA_Port", 0, "NMEA_Port = 1 (default)\n"}
                      : Step{"reset NMEA_Port", 3,
                             "cannot write root0/inf/jkn-nmea.ini: it is no regular file"},
       {"set WavName 1 x", 1, "WavName is read-only"},
       {"set RecSize 3 9", 3, "cannot write root1/inf/disp-navi.ini: a file stands in the path"},
       {"files", 0, " 3  disp-navi.ini     missing  no folder root1/inf/disp-navi.ini"}});
}

// Both roots naming one folder: each file is read once, from the root that
// reads it. Keys that records write beside settings' keys are no misspellings.
TEST_F(JknTest, CataloguesInOneFolderForBothRoots) {
  sh("rm -r root1 && ln -s root0 root1 && cp " SAMPLE_DATA "/*.ini root1/inf");
  PutQZJkn_NMEA_BtInfo("00:1A", 3);
  PutQZJkn_SksColor(1, 0x102030);
  run({{"antenna", 2, "A subcommand is required"},
       {"antenna list", 0, "the merged catalogue root0/inf/AntennaLocal.ini holds no entry"},
       {"antenna init", 0, "wrote root0/inf/AntennaLocal.ini: 5 entries"},
       {"check", 0, "no findings in 6 settings files\n"},
       {"dump", 0,
        "root 1 NTrip.ini [NTrip] Co03PrtCnt = \"0\"\nSksColor 1 = \"48,32,16 #302010\""},
       // Columns line up by display width: a wide character takes two.
       {"antenna list", 0,
        "  0  id  12  sensor   1  KV-A12 測量用アンテナ  offset 0.0620  rx-g1.bmp\n"
        "  1  id  20  sensor   2  KV-A20（G2 内蔵）      offset 0.0585  rx-g2.bmp\n"
        "  2  id  30  sensor   3  NR-300 チョークリング  offset 0.0000  rx-g3.bmp\n"
        "  3  id  13  sensor  -1  KV-A12 高架台用        offset 0.0000\n"
        "  4  id  -1  sensor   4                         offset 0.0000  rx-h4.bmp\n"},
       {"sensor 2", 0, "sensor 2: picture rx-g2.bmp, antenna 20 KV-A20（G2 内蔵） (offset 0.0585)"},
       {"sensor 9", 1, "sensor 9 is not in the merged catalogue: picture NMEA.bmp, no antenna\n"},
       {"sensor -1", 0, "sensor -1: no picture, antenna 13 KV-A12 高架台用 (offset 0.0000)\n"},
       {"ntrip list", 0,
        "1   北関東測位サービス           ntrip1.example.jp  ports 2101 2102\n"
        "    vrs 1101  VRS（RTCM3.2 MSM）   VRS_MSM\n"
        "    vrs 1102  VRS（RTCM3.0）       VRS_30\n"
        "    rrs 1201  基準局 宇都宮        UTSU_RTCM3\n"
        "2   Example Positioning Network  rtk.example.jp     ports 2101\n"
        "    vrs 2101  Nearest base (MSM7)  NEAR_MSM7\n"
        "3   社内基準局（試験中）                            ports  (not usable: needs index, "
        "address and port)\n"},
       {"geoid-version " SAMPLE_DATA "/sample-geoid.isg", 0, "ver1.2 (ISG)\n"},
       {"station-name --json -- -5.5", 0,
        "{\n  \"name\": \"No.-1+14.500\",\n  \"value\": -5.5\n}\n"},
       {"zones root0", 0, "\n  第19系：東京(南鳥島)"}});
}

}  // namespace
}  // namespace trasso::test
