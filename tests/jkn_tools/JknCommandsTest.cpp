// Faults of single commands that the larger sessions would not show.
#include <ctime>
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
  // Each expected finding with the stored texts that give it ("": none).
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {"0x1f", "-0x10", "0b101", "0x7", "7 ;set by hand", "7\t; set by hand"}},
      {digit + "';x' is ignored -> 7", {"7;x"}},
      {base + "16" + after + "'g' is ignored -> 1", {"0x1g"}},
      {base + "8" + after + "'9' is ignored -> 1", {"0o19"}},
      {base + "2" + after + "'2' is ignored -> -1", {"-0b12"}},
      {digit + "'xg' is ignored -> 0", {"0xg"}},
      {digit + "'x' is ignored -> 0", {"0x"}},
      {digit + "'-3' is ignored -> 12", {"12-3"}},
      {digit + "'e' is ignored -> 7", {"+7e"}},
      {"a text without leading digits reads as 0 -> 0", {"abc"}},
      {upper + " -> 0", {"0XAB", "0XAG", "0X1", "+0X1F"}},
      {"more than 32 bits: the integer rule keeps the number modulo 2^32 -> 5", {"4294967301"}},
  };
  for (const auto& [expected, texts] : cases) {
    for (const std::string& stored : texts) {
      writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage=" + stored + "\n"));
      sh(kJkn + "check --json");
      std::string found;
      for (const nlohmann::json& f : nlohmann::json::parse(out_))
        found += f["why"].get<std::string>() + " -> " + f["read"].dump();
      EXPECT_EQ(found, expected) << stored;
    }
  }
}

// Lines a person takes for comments are no findings, before the first section
// or in one; an empty double reads 0 where its default is a text, and the
// default elsewhere.
TEST_F(JknTest, CheckLeavesNotesAloneAndKnowsEmptyDoubles) {
  writeBytes(inf("jkn-gnss.ini"), withCrLf("; note=1\n#x\n[GNSS]\n#Page=3\n;MaskElev=1\n"));
  writeBytes(inf("def-share.ini"), withCrLf("[RCOB]\nWIDE=\n"));
  writeBytes(inf("jkn-soku.ini"), withCrLf("[HOSEI]\nSCL=\n"));
  run({{"check", 1,
        "root0/inf/def-share.ini:2: an empty value reads 0 here, not the default 0.5\n"
        "    setting: RectObsWide\n    stored:  WIDE=\n    read:    0\n"
        "    fix:     jkn set RectObsWide 0\n1 finding in 3 settings files\n"},
       {"get Soku_Scale", 0, "1\n"}});
}

// A profile's entry takes no selector, a plain setting's no file or profile:
// load refuses the field instead of writing elsewhere.
TEST_F(JknTest, LoadRefusesFieldsAnEntryDoesNotTake) {
  run(
      {{"load - <<'E'\n{\"jkn-dump\":1,\"settings\":["
        "{\"name\":\"ZETR_Npr_Value\",\"profile\":\"root0/p.ini\",\"selector\":\"x\",\"value\":5},"
        "{\"name\":\"GNSS_Page\",\"profile\":\"root0/p.ini\",\"value\":5},"
        "{\"name\":\"GNSS_MaskElev\",\"file\":\"x.ini\",\"value\":5}]}\nE\n",
        1,
        "jkn: entry 1: ZETR_Npr_Value takes no 'selector'\n"
        "jkn: entry 2: GNSS_Page takes no 'profile'\n"
        "jkn: entry 3: GNSS_MaskElev takes no 'file'\n"
        "jkn: nothing changed: 3 entries refused (--skip-refused loads the others)\n"}});
  EXPECT_EQ(snapshot(), "");
}

// A screen colour by name through set, dump (text and document), reset
// --json; describe names a record's own file unless it lies in a profile.
TEST_F(JknTest, ScreenColourDumpedByNameAndResetAsJson) {
  run({{"set Color disp-ts.ini,MessFor,2 '#ff0000'", 0,
        "Color disp-ts.ini,MessFor,2 = 255,0,0 #ff0000\n"},
       {"dump", 0, "takes.\nColor disp-ts.ini,MessFor,2 = \"255,0,0 #ff0000\""},
       {"dump --json", 0, document(R"({"jkn-dump":1,"settings":[{"name":"Color",
         "selector":"disp-ts.ini,MessFor,2","value":"255,0,0 #ff0000"}]})")},
       {"reset Color disp-ts.ini,MessFor,2 --json", 0,
        document(R"({"default":"255,255,255 #ffffff","differs":false,"file":"root0/inf/disp-ts.ini",
         "key":"MessFor","name":"Color","section":"2","selector":"disp-ts.ini,MessFor,2",
         "stored":false,"value":"255,255,255 #ffffff"})")},
       {"describe GNSS_StaCurrentAntenna", 0, "  file:      jkn-gnss.ini (root0/inf/jkn-gnss.ini)"},
       {"describe ZETR_Dst_CentigradePress", 0,
        "  file:      the profile file the selector names, jkn-zetr.ini "
        "(root0/inf/jkn-zetr.ini)"}});
  EXPECT_EQ(readBytes(inf("disp-ts.ini")), withCrLf("[2]\n"));
}

// A byte-order mark says the byte order of a UTF-16 file; a UTF-8 line's fix
// leaves out the characters code page 932 lacks, and its finding names them,
// also when one comes first.
TEST_F(JknTest, CheckNamesTheEncodingToConvertFrom) {
  writeBytes(inf("jkn-gnss.ini"), std::string("\xFE\xFF\0[\0G\0N\0S\0S\0]\0\r\0\n", 18));
  writeBytes(inf("def-ts.ini"), withCrLf("[TS]\nBtDevAddr=\xC3\xA9"
                                         "a\xE2\x82\xAC\xC3\xA9\n"));
  run({{"check | grep -e fix: -e 'has no'", 0,
        "root0/inf/def-ts.ini:2: UTF-8 text, but the application reads code page 932: "
        "'éa€é' reads as 'ﾃｩa竄ｬﾃｩ'; code page 932 has no 'é', '€', which the fix leaves out\n"
        "    fix:     jkn set TS_BtDevAddr a\n    fix:     " +
            toCp932Fix("root0/inf/jkn-gnss.ini", "UTF-16") + "\n"}});
}

// A record's fields given together are one write of the record, also where
// neither alone would be taken; pairs are a record's only, of one record.
TEST_F(JknTest, SetWritesFieldsOfOneRecordTogether) {
  writeBytes(inf("jkn-zetr.ini"), withCrLf("[DST]\nCEN=99\nHPA=1300\n"));
  run({{"set ZETR_Dst_CentigradePress pressure 1200", 1,
        "jkn: ZETR_Dst_CentigradePress: the record's setter checks every field it writes, and "
        "temperature holds 99, outside what it takes (a number from -70 to 70); give them "
        "together: jkn set ZETR_Dst_CentigradePress pressure 1200 temperature VALUE\n"},
       {"set ZETR_Dst_CentigradePress pressure 1200 S.PortNo 3", 2,
        "jkn: ZETR_Dst_CentigradePress: 'S.PortNo' is no selector"},
       {"set ZETR_Dst_CentigradePress temperature 9 pressure:root0/p.ini 1", 2,
        "jkn: 'pressure:root0/p.ini' is a field of another record than 'temperature': give the "
        "fields of one record\n"},
       {"set ZETR_Dst_CentigradePress temperature 9 pressure", 2,
        "jkn: field 'pressure' has no value\n"},
       {"set GNSS_MaskElev svy 9 plain 9", 2,
        "jkn: unexpected 'plain': only a record's fields come in pairs (set NAME FIELD VALUE "
        "FIELD VALUE ...)\n"}});
  EXPECT_EQ(readBytes(inf("jkn-zetr.ini")), withCrLf("[DST]\nCEN=99\nHPA=1300\n"));
  run({{"set ZETR_Dst_CentigradePress pressure 1200 temperature -70", 0,
        "ZETR_Dst_CentigradePress pressure:root0/inf/jkn-zetr.ini = 1200\n"
        "ZETR_Dst_CentigradePress temperature:root0/inf/jkn-zetr.ini = -70\n"}});
  EXPECT_EQ(readBytes(inf("jkn-zetr.ini")), withCrLf("[DST]\nCEN=-70.000000\nHPA=1200.000000\n"));
}

// Values go to stdout and messages to stderr, each outcome with a status of
// its own that the command's --help names: a family entry whose default the
// caller gives, what stands in a settings file's place, a look at settings
// folders that are not there.
TEST_F(JknTest, MessagesOnStderrAndEveryStatusInTheHelp) {
  // Arguments, status, standard output, standard error.
  using Case = std::tuple<std::string, int, std::string, std::string>;
  const auto check = [&](const std::vector<Case>& cases) {
    for (const auto& [args, status, out, err] : cases) {
      const size_t pipe = std::min(args.find(" | "), args.size());
      const int got = sh(kJkn + args.substr(0, pipe) + " 2>err" + args.substr(pipe));
      EXPECT_EQ(std::make_tuple(got, out_, output("err")), std::make_tuple(status, out, err))
          << args;
      const std::string command = args.substr(0, args.find(' '));
      sh(kJkn + command + " --help");
      EXPECT_NE(out_.find("\n  " + std::to_string(status) + "  ", out_.find("Exit status:")),
                std::string::npos)
          << command << " --help names no status " << status;
    }
  };
  sh("mkdir root0/inf/jkn-gnss.ini && ln -s nowhere root0/inf/jkn-nmea.ini");
  // Wine shows a link to nothing as nothing at all.
  const std::string link =
      jknOnWindows() ? ""
                     : "jkn: cannot write root0/inf/jkn-nmea.ini: it is no regular file (a "
                       "device, pipe, socket or a link to nothing); remove it (" +
                           removeFix("root0/inf/jkn-nmea.ini") + ")\n";
  const std::string folder =
      "jkn: cannot write root0/inf/jkn-gnss.ini: a folder stands where the settings file "
      "belongs; remove it (" +
      removeFix("root0/inf/jkn-gnss.ini", true) + ")\n";
  const std::string callers =
      "nothing of its own stored: the application reads the default it passes";
  check({{"get SksColor 3", 8, "",
          "jkn: SksColor 3: " + callers +
              " ('jkn get SksColor 3:DEFAULT' reads as with that default)\n"},
         {"get SksColor 3:#010203", 0, "1,2,3 #010203\n", ""},
         {"reset SksColor 3", 0, "SksColor 3 = (" + callers + ")\n", ""},
         {"list --changed", 0, "", ""},
         {"files | grep -v ' missing  writable '", 0,
          (jknOnWindows() ? ""
                          : " 7  jkn-nmea.ini      bad link blocked   root0/inf/jkn-nmea.ini\n") +
              std::string("12  jkn-gnss.ini      folder   blocked   root0/inf/jkn-gnss.ini\n"),
          link + folder}});
  sh("rm -r root1/inf");
  const std::string missing1 =
      "settings folder root1/inf of root 1 does not exist (KORVEL_APPDATA_1=root1)";
  check({{"list --changed", 3, "", "jkn: cannot list changed settings: " + missing1 + "\n"},
         {"files | grep NTrip", 0, "13  NTrip.ini         missing  no folder root1/inf/NTrip.ini\n",
          "jkn: folder root1/inf does not exist; create it first (" + makeFolderFix("root1/inf") +
              ")\n" + link + folder}});
  sh("rm -r root0/inf");
  check({{"list --changed GNSS", 3, "",
          "jkn: cannot list changed settings: settings folder root0/inf of root 0 does not exist "
          "(KORVEL_APPDATA_0=root0); " +
              missing1 + "\n"}});
}

// describe --json prints the library's description: the default typed, each
// key the setting names with its selector, file, section and default, and
// where they lie (null where the selector chooses it).
TEST_F(JknTest, DescribeGivesTheLibrarysData) {
  const std::pair<const char*, std::string> cases[] = {
      {"GNSS_MaskElev",
       R"({"default":15,"file":"jkn-gnss.ini","keys":[["plain","jkn-gnss.ini","GNSS","MaskElev",)"
       R"(15],["svy","jkn-gnss.ini","GNSS","MaskElev_Svy",15]],"kind":"integer",)"
       R"("path":"root0/inf/jkn-gnss.ini","root":0,"section":"GNSS","validated":false})"},
      {"GNSS_MountPTX",
       R"({"default":"","file":"jkn-gnss.ini","keys":[[null,"jkn-gnss.ini","GNSS","MountPTX",""]],)"
       R"("kind":"text","path":"root0/inf/jkn-gnss.ini","root":0,"section":"GNSS",)"
       R"("validated":false})"},
      {"SksWidth",
       R"({"default":null,"file":"def-share.ini","keys":[["N","def-share.ini","SKSG","WDTN",null]],)"
       R"("kind":"integer","path":"root0/inf/def-share.ini","root":0,"section":"SKSG",)"
       R"("validated":false})"},
      {"Color",
       R"({"default":"255,255,255","file":null,"keys":[["FILE,MessBak,SECTION",null,null,)"
       R"("MessBak","255,255,255"],["FILE,MessFor,SECTION",null,null,"MessFor","255,255,255"],)"
       R"(["FILE,BtnNorm,SECTION",null,null,"BtnNorm","255,255,255"],["FILE,BtnPush,SECTION",)"
       R"(null,null,"BtnPush","255,255,255"],["FILE,FuncBak,SECTION",null,null,"FuncBak",)"
       R"("255,255,255"]],"kind":"colour","path":null,"root":null,"section":null,)"
       R"("validated":false})"},
      {"ZETR_Dst_CentigradePress",
       R"({"default":null,"fields":[["temperature","number",20,true],["pressure","number",)"
       R"(1013.25,true]],"file":"jkn-zetr.ini","keys":[["temperature","jkn-zetr.ini","DST","CEN",)"
       R"(20],["pressure","jkn-zetr.ini","DST","HPA",1013.25]],"kind":"record",)"
       R"("path":"root0/inf/jkn-zetr.ini","root":0,"section":"DST","validated":false})"},
      {"ZoomModeScale",
       R"({"default":null,"file":"def-share.ini","keys":[["0","def-share.ini","GZPROP","SML",1],)"
       R"(["1","def-share.ini","GZPROP","MDL",1.2],["2","def-share.ini","GZPROP","LRG",1.4]],)"
       R"("kind":"number","path":"root0/inf/def-share.ini","root":0,"section":"GZPROP",)"
       R"("validated":false})"}};
  for (const auto& [name, data] : cases) {
    EXPECT_EQ(sh(kJkn + "describe --json " + name), 0) << name;
    nlohmann::json j = nlohmann::json::parse(out_);
    EXPECT_EQ(j["name"], name);
    for (const char* words : {"name", "area", "getter", "setter", "accepts", "description",
                              "selector", "type", "writes_also", "same_key_as", "range"})
      j.erase(words);
    for (nlohmann::json& k : j["keys"])
      k = {k["selector"], k["file"], k["section"], k["key"], k["default"]};
    if (j.contains("fields")) {
      for (nlohmann::json& f : j["fields"])
        f = {f["name"], f["kind"], f["default"], f["validated"]};
    }
    EXPECT_EQ(posixSeparators(j.dump()), data) << name;
  }
}

// Antenna id 0 is an antenna like any other: the sensor's walk names it.
TEST_F(JknTest, SensorWithAntennaZero) {
  sh("cp " SAMPLE_DATA
     "/Antenna*.ini root1/inf && cd root1/inf && "
     "sed -i 's/^Type=12/Type=0/' Antenna.ini && sed -i 's/^Antenna000ID=12/Antenna000ID=0/' "
     "AntennaSensor.ini");
  run({{"antenna init", 0, "entries"},
       {"sensor 1", 0,
        "sensor 1: picture rx-g1.bmp, antenna 0 KV-A12 測量用アンテナ (offset 0.0620)\n"}});
}

// Stream columns: ids as wide as the widest id (the tenth provider's are five
// digits), names as wide as the widest name, however the two compare.
TEST_F(JknTest, NtripColumnsByTheirOwnWidths) {
  std::string ini = "[NTrip]\nCoCnt=10\n", others;
  for (int n = 1; n <= 10; ++n) {
    const std::string co = std::string(n < 10 ? "Co0" : "Co") + std::to_string(n);
    ini += co + "Nam=P" + std::to_string(n) + "\n" + co + "Idx=" + std::to_string(n) + "\n" + co +
           "Adr=a\n" + co + "PrtCnt=1\n" + co + "Prt000=1\n";
    if (n == 1 || n == 10)
      ini += co + "VrsCnt=1\n" + co + "Vrs00i=1\n" + co + "Vrs00n=N\n" + co + "Vrs00m=M\n";
    else
      others += std::to_string(n) + "   P" + std::to_string(n) + "   a  ports 1\n";
  }
  ini += "Co01RrsCnt=1\nCo01Rrs00i=1\nCo01Rrs00n=BB\nCo01Rrs00m=R\n";
  writeBytes(inf("NTrip.ini", 1), withCrLf(ini));
  run({{"ntrip list", 0,
        "1   P1   a  ports 1\n    vrs 1101   N   M\n    rrs 1201   BB  R\n" + others +
            "10  P10  a  ports 1\n    vrs 10101  N   M\n"}});
}

// watch prints each change as it comes, stamped with the local time, as text
// or one JSON object a line, until Ctrl-C ends it with status 0.
TEST_F(JknTest, WatchPrintsEachChangeUntilCtrlC) {
  const std::string script =
      "seen() { for i in $(seq 400); do grep -q \"$2\" $1 && return; sleep 0.05; done; }\n" + kJkn +
      "watch GNSS >w.out 2>w.err & p=$!\n" + kJkn +
      "watch --json GNSS_Page NMEA >j.out 2>j.err & q=$!\nseen w.err Ctrl-C\nseen j.err Ctrl-C\n" +
      kJkn + "set GNSS_MaskElev svy 20 >/dev/null\n" + kJkn +
      "set GNSS_Page 5 >/dev/null\nseen w.out Page\nseen j.out Page\nkill -INT $p $q\n"
      "wait $p && wait $q\n";
  const std::time_t started = std::time(nullptr);
  EXPECT_EQ(sh(script), 0) << out_;
  EXPECT_EQ(output("w.err") + output("j.err"),
            "jkn: watching GNSS; Ctrl-C ends\njkn: watching the settings named; Ctrl-C ends\n");
  // The minute the watch began or the one it ended in, then ":SS.mmm".
  std::string lines = posixSeparators(output("w.out")), json = posixSeparators(output("j.out"));
  for (const std::time_t t : {started, std::time(nullptr)}) {
    char minute[16];
    std::strftime(minute, sizeof minute, "%H:%M:", std::localtime(&t));
    for (std::string* text : {&lines, &json})
      for (size_t at = 0; (at = text->find(minute, at)) != std::string::npos;) text->erase(at, 12);
  }
  EXPECT_EQ(lines,
            "  GNSS_MaskElev svy                 15 -> 20  root0/inf/jkn-gnss.ini\n"
            "  GNSS_Page                         0 -> 5  root0/inf/jkn-gnss.ini\n");
  EXPECT_EQ(json, R"({"time":"","name":"GNSS_Page","selector":null,"old":0,"new":5,)"
                  R"("file":"root0/inf/jkn-gnss.ini"})"
                  "\n");
}

}  // namespace
}  // namespace trasso::test
