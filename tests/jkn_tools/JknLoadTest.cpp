// jkn load as support engineers meet it: why a document is none, what a
// setter writes beside its key, what jkn prints it takes back, files the
// application never opens, what dump cannot carry, and other programs' writes
// kept through a load that fails or is stopped.
#include <nlohmann/json.hpp>

#include "JknFixture.h"

namespace trasso::test {
namespace {

std::string loadOf(const std::string& text, const std::string& options = "") {
  return "load " + options + "- <<'E'\n" + text + "\nE\n";
}

TEST_F(JknTest, LoadSaysWhyADocumentIsNone) {
  const std::string none = "jkn: standard input is no document of 'jkn dump --json': ";
  const std::string noJson =
      "jkn: standard input is no JSON document ('jkn dump --json' makes one): ";
  run({{loadOf(R"([{"name":"GNSS_Page","value":1}])"), 2,
        none + "it is a JSON array, not an object {\"jkn-dump\": 1, \"settings\": [...]}\n"},
       {loadOf(R"({"settings":[]})"), 2,
        none + "no \"jkn-dump\": 1 (the format, first in what 'jkn dump --json' writes)\n"},
       {loadOf(R"({"jkn-dump":2,"settings":[]})"), 2,
        none + "\"jkn-dump\": 2 is a format this jkn does not read (it reads 1)\n"},
       {loadOf(R"({"jkn-dump":1})"), 2, none + "no \"settings\" list\n"},
       {loadOf(R"({"jkn-dump":1,"settings":{}})"), 2,
        none + "\"settings\" must be a JSON list of entries; got {}\n"},
       {loadOf("{\"jkn-dump\": 1,\n  // from the tablet\n  \"settings\": []}"), 2,
        noJson +
            "JSON has no comments ('//' or '/* */'): remove the comment at line 2, column 3\n"},
       {loadOf(R"({"jkn-dump":1,"settings":[{"name":"GNSS_Page","value":1},]})"), 2,
        noJson + "a comma before the ']' at line 1, column 58: JSON takes none after the last "
                 "element\n"},
       {loadOf(R"({"jkn-dump":1,"settings":[{"name":"GNSS_Page","value":1,"value":2}]})"), 2,
        noJson + "\"value\" is given twice in entry 1; each key goes once\n"},
       {loadOf(R"({"jkn-dump":1,"jkn-dump":1,"settings":[]})"), 2,
        noJson + "\"jkn-dump\" is given twice in the document; each key goes once\n"},
       {loadOf(""), 2, noJson + "it is empty\n"},
       {loadOf(R"({"jkn-dump":1,"settings":[{"name":GNSS_Page}]})"), 2,
        noJson + "line 1, column 35: syntax error while parsing value - invalid literal; last "
                 "read: '\"name\":G'\n"},
       {"load --help", 0, "  2  FILE cannot be read, is a folder, no JSON (it says why"}});
  EXPECT_EQ(listFolder(inf("")), "");
}

// A setter that writes beside its key (TS_AutoLoad resets the stored set-up):
// the dry run and the load say so, as text and as JSON, and only the load
// writes.
TEST_F(JknTest, LoadSaysWhatASetterWritesBesideItsKey) {
  writeBytes(inf("jkn-ts.ini"),
             withCrLf("[TS]\nAutoLoad=0\nAutoLoadKno=7\nAutoLoadKH=1.5\nAutoLoadObsPane=3\n"));
  const std::string before = snapshot();
  const std::string doc =
      loadOf(R"({"jkn-dump":1,"settings":[{"name":"GNSS_Page","value":4},)"
             R"({"name":"TS_AutoLoad","value":1},{"name":"NMEA_Port","value":1}]})");
  const std::string lines =
      "GNSS_Page: (not stored) -> '4'\nTS_AutoLoad: '0' -> '1'\n"
      "TS_AutoLoad_Ex kno: '7' -> '0' (also written by the setter of entry 2, TS_AutoLoad)\n"
      "TS_AutoLoad_Ex kh: '1.5' -> '' (also written by the setter of entry 2, TS_AutoLoad)\n"
      "TS_AutoLoad_Ex pane: '3' -> '99' (also written by the setter of entry 2, TS_AutoLoad)\n"
      "NMEA_Port: (not stored) -> '1'\n";
  run({{"load --dry-run" + doc.substr(4), 0,
        lines + "3 to change, 0 unchanged, 3 more by setters (dry run: nothing written)\n"}});
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(sh(kJkn + "load --json" + doc.substr(4)), 0);
  const nlohmann::json report = nlohmann::json::parse(out_);
  EXPECT_EQ(
      nlohmann::json({report["changes"][2], report["changes"][0]["before"],
                      report["changes"][0]["value"], report["unchanged"], report["written"],
                      report["changes"].size()}),
      nlohmann::json::parse(R"([{"before":7,"by":2,"entry":null,"file":"root0/inf/jkn-ts.ini",)"
                            R"("key":"AutoLoadKno","name":"TS_AutoLoad_Ex","section":"TS",)"
                            R"("selector":"kno","value":0}, 0, 4, 0, true, 6])"));
  EXPECT_EQ(readBytes(inf("jkn-ts.ini")),
            withCrLf("[TS]\nAutoLoad=1\nAutoLoadKno=0\nAutoLoadKH=\nAutoLoadObsPane=99\n"
                     "AutoLoadBno=0\n"));
  // A record's setter writes its other fields as they read: nothing else to say.
  run({{"load" + doc.substr(4), 0, "0 changed, 3 unchanged\n"},
       {"set ZETR_Dst_CentigradePress pressure:root0/p.ini 900", 0,
        "ZETR_Dst_CentigradePress pressure:root0/p.ini = 900\n"}});
  EXPECT_EQ(readBytes(root(0) + "/p.ini"), withCrLf("[DST]\nCEN=20.000000\nHPA=900.000000\n"));
}

// What jkn prints, jkn takes back: "selector": null and a value as {"hex": ...}
// (the shape of get, list and set --json). Keys of a file the application
// never opens go only when asked, and dump names what it cannot carry.
TEST_F(JknTest, LoadTakesWhatJknPrintsAndAsksForUnreadFiles) {
  sh(kJkn + "set GNSS_UserID あ && " + kJkn + "get GNSS_UserID --raw --json >user.json");
  const nlohmann::json user = nlohmann::json::parse(output("user.json"));
  EXPECT_EQ(user["value"], nlohmann::json::parse(R"({"hex":"82a0"})"));
  sh("rm root0/inf/*");
  const std::string doc =
      R"({"jkn-dump":1,"settings":[{"name":"GNSS_UserID","selector":null,"value":)" +
      user["value"].dump() +
      R"(},{"root":0,"file":"jkn-foo.ini","section":"A","key":"k","value":"1"},)"
      R"({"root":1,"file":"jkn-gnss.ini","section":"GNSS","key":"Page","value":"2"}]})";
  run({{loadOf(doc), 1,
        "jkn: entry 2: the application never opens root0/inf/jkn-foo.ini (no setting reads a "
        "file of this name); --unread-files writes it all the same\njkn: entry 3: the "
        "application never opens root1/inf/jkn-gnss.ini (it reads jkn-gnss.ini from root 0); "
        "--unread-files writes it all the same\njkn: nothing changed: 2 entries refused "
        "(--skip-refused loads the others)\n"},
       {loadOf(doc, "--json "), 1,
        "(--skip-refused loads the others)\n{\n  \"changes\": [],\n  \"refused\": [\n    {\n"
        "      \"entry\": 2,"},
       {loadOf(doc, "--json "), 1, "  ],\n  \"unchanged\": 0,\n  \"written\": false\n}"},
       {loadOf(doc, "--unread-files "), 0,
        "GNSS_UserID: (not stored) -> 'あ'\nroot0/inf/jkn-foo.ini [A] k: (not stored) -> '1'\n"
        "root1/inf/jkn-gnss.ini [GNSS] Page: (not stored) -> '2'\n3 changed, 0 unchanged\n"},
       {"get GNSS_UserID --raw", 0, "\x82\xa0\n"},
       {loadOf(R"({"jkn-dump":1,"settings":[{"name":"GNSS_MaskElev","selector":null,)"
               R"("value":{"hex":"3132"}}]})"),
        1, "\"hex\" gives the bytes of a text; GNSS_MaskElev takes an integer"}});
  // Lines no reader takes a value from cannot travel; dump names each.
  writeBytes(inf("jkn-gnss.ini"),
             withCrLf("Page=1\n[GNSS]\n; office\nMaskElev=12\nMaskElev=3\n[gnss]\nMaskSate=8\n"
                      "Page=2\n"));
  run({{"dump --json >d.json", 0,
        "jkn: root0/inf/jkn-foo.ini: the application never opens this file; 'jkn load' "
        "writes its keys only with --unread-files\n"
        "jkn: not carried: root0/inf/jkn-gnss.ini:1 Page=1: before any section (no reader "
        "reads it)\njkn: not carried: root0/inf/jkn-gnss.ini:3 ; office: a line without '=' "
        "(it holds no value; the key reads as a missing one)\njkn: not carried: "
        "root0/inf/jkn-gnss.ini:5 MaskElev=3: the key again in its section (line 4; the "
        "application reads only the first)\njkn: not carried: root0/inf/jkn-gnss.ini:6 "
        "[gnss]: the section again (line 2 begins it; the application reads only the "
        "first), with MaskSate, Page\njkn: root1/inf/jkn-gnss.ini: the application never "
        "opens this file; 'jkn load' writes its keys only with --unread-files\n"}});
  // What it carried reads as before on empty roots.
  sh("rm -r root0/inf/* root1/inf/*");
  run({{"load --unread-files d.json", 0, "GNSS_MaskElev plain: (not stored) -> '12'"},
       {"get GNSS_MaskElev", 0, "12\n"},
       {"get GNSS_MaskSate", 0, "11\n"},
       {"get GNSS_Page", 0, "0\n"}});
}

// Another program's writes during a load that fails (a file over the size
// limit) or is stopped by a signal stay, and nothing of the load does: the
// load has replaced root 0's file and waits for root 1's folder, which this
// test holds locked, when another jkn sets a key beside the load's; then the
// load fails or gets the signal, and takes back its own key only. Nothing is
// left beside the files. Windows: no program here can hold the folder's lock
// (a named mutex of Wine's), and there is no SIGTERM or SIGHUP; Ctrl-C (the
// SIGINT Wine passes on) comes while the load reads its document from a pipe,
// and the failing load alone must leave everything as it was.
TEST_F(JknTest, AFailedOrStoppedLoadKeepsOtherProgramsWrites) {
  // Before jkn runs (a size limit, or no signal caught by default), the
  // signal, jkn's status and message.
  const std::tuple<std::string, std::string, int, std::string> stops[] = {
      {"", "INT", 130, "jkn: stopped by SIGINT: nothing changed\n"},
      {"", "TERM", 143, "jkn: stopped by SIGTERM: nothing changed\n"},
      {"", "HUP", 129, "jkn: stopped by SIGHUP: nothing changed\n"},
      {"ulimit -f 8; trap \"\" XFSZ; ", "", jknOnWindows() ? 7 : 5,
       "jkn: nothing changed: cannot write root1/inf/disp-navi.ini: " +
           std::string(jknOnWindows() ? "the disk reported an I/O error; check the disk\n"
                                      : "the disk is full or the file too large; free some "
                                        "space\n")},
  };
  writeBytes(root(0) + "/../d.json",
             R"({"jkn-dump":1,"settings":[{"name":"GNSS_MaskElev","selector":"svy","value":10},)"
             R"({"name":"RecSize","selector":"3","value":7}]})");
  for (const auto& [how, signal, status, message] : stops) {
    if (jknOnWindows() && signal != "" && signal != "INT") continue;
    writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nMaskElev_Svy=12\n"));
    writeBytes(inf("disp-navi.ini", 1), withCrLf("[0]\n;" + std::string(9000, '-') + "\n"));
    const std::string before = snapshot();
    sh("rm -f rc pid && cp root0/inf/jkn-gnss.ini start");
    const auto load = [&how = how](const std::string& document) {
      return "(sh -c 'echo $$ >pid; " + how + "exec env --default-signal=INT,TERM,HUP " + kJkn +
             "load " + document + "' >load.out 2>&1; echo $? >rc) &";
    };
    const std::string kill = signal.empty() ? "" : "kill -" + signal + " $(cat pid)\n";
    if (jknOnWindows()) {
      // Opening the pipe waits for the load to open it.
      writeBytes(root(0) + "/../stop.sh", "rm -f d.fifo && mkfifo d.fifo\n" + load("d.fifo") +
                                              "\nexec 3>d.fifo\n" + kill +
                                              "cat d.json >&3\nexec 3>&-\nwait\n");
      sh("sh stop.sh");
    } else {
      // Root 0's file replaced, root 1's lock waited for: another write, then
      // the signal or the failure.
      writeBytes(root(0) + "/../stop.sh",
                 load("d.json") +
                     "\nfor i in $(seq 3000); do cmp -s start root0/inf/jkn-gnss.ini || break; "
                     "sleep 0.01; done\n" +
                     kJkn + "set GNSS_Page 4 >set.out\n" + kill);
      sh("flock -o root1/inf sh stop.sh; for i in $(seq 3000); do test -s rc && break; "
         "sleep 0.01; done");
      EXPECT_EQ(output("set.out"), "GNSS_Page = 4\n") << signal;
      EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), withCrLf("[GNSS]\nMaskElev_Svy=12\nPage=4\n"));
      EXPECT_EQ(listFolder(inf("")) + listFolder(inf("", 1)), "jkn-gnss.ini\ndisp-navi.ini\n");
      sh(kJkn + "reset GNSS_Page");
    }
    EXPECT_EQ(std::stoi(output("rc")), status) << signal;
    EXPECT_EQ(output("load.out"), message) << signal;
    EXPECT_EQ(snapshot(), before) << signal;
  }
}

}  // namespace
}  // namespace trasso::test
