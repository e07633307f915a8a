// Settings reached by name that take more than one number: screen colours by
// file, key and section; families whose caller gives the default; zoom scales
// by mode; records field by field; keys a second name reaches. jkn's exact
// output and the bytes it leaves, what it refuses, what list, dump and load
// make of them, and the same through the C interface by name.
#include <nlohmann/json.hpp>

#include "JknFixture.h"
#include "TrassoJknC.h"

namespace trasso::test {
namespace {

const std::string kCallers =
    "nothing of its own stored: the application reads the default it passes";

TEST_F(JknTest, ScreenColoursByFileKeyAndSection) {
  run({{"set Color disp-ts.ini,MessFor,2 '#FF0000'", 0,
        "Color disp-ts.ini,MessFor,2 = 255,0,0 #ff0000\n"},
       {"set Color 4,btnpush,-1 5,0,7", 0, "Color disp-ts.ini,BtnPush,-1 = 5,0,7 #050007\n"},
       {"set Color DISP-NAVI.INI '1,2,3 #010203'", 0,
        "Color disp-navi.ini,MessBak,0 = 1,2,3 #010203\n"},
       {"get Color 4,1,2", 0, "255,0,0 #ff0000\n"},
       {"get Color 4,1,3", 0, "255,255,255 #ffffff\n"},
       {"get Color 4,1,2 --json", 0, "\"value\": \"255,0,0 #ff0000\"\n}"},
       {"get Color", 2, "Color needs a selector: FILE,WHICH,SECTION"},
       {"set Color 4 '#ff00'", 1, "or #rrggbb; got '#ff00'"},
       {"set Color 4 '1,2,3 #010204'", 1, "or #rrggbb; got '1,2,3 #010204'"},
       {"set Color 4 256,0,0", 1, "or #rrggbb; got '256,0,0'"},
       {"set Color 4 '  ,  2,  3'", 1, "or #rrggbb; got '  ,  2,  3'"},
       {"set Color 4 '1,2,3#010203'", 1, "or #rrggbb; got '1,2,3#010203'"},
       {"set Color 4,1,2 ' 255 ,0,  0\t#ff0000 '", 0,
        "Color disp-ts.ini,MessFor,2 = 255,0,0 #ff0000\n"}});
  // Root 1 holds disp-navi.ini; the stored value keeps its "%3d" form.
  EXPECT_EQ(snapshot(), withCrLf("== root0/inf/disp-ts.ini\n[2]\nMessFor=255,  0,  0\n[-1]\n"
                                 "BtnPush=  5,  0,  7\n== root1/inf/disp-navi.ini\n[0]\n"
                                 "MessBak=  1,  2,  3\n"));
  // Only keys the getter of a file, key and section reads are listed: not a
  // section "02", a key without '=', a second section of a name.
  sh("printf "
     "'[02]\\r\\nMessBak=1\\r\\n[5]\\r\\nFuncBak\\r\\nFuncBak=2\\r\\n[2]\\r\\nBtnNorm=3\\r\\n' "
     ">>root0/inf/disp-ts.ini");
  run({{"list Display | grep ' Color '", 0,
        "* Color disp-navi.ini,MessBak,0      1,2,3 #010203 (default 255,255,255 #ffffff)  "
        "disp-navi.ini [0] MessBak\n"
        "* Color disp-ts.ini,BtnPush,-1       5,0,7 #050007 (default 255,255,255 #ffffff)  "
        "disp-ts.ini [-1] BtnPush\n"
        "* Color disp-ts.ini,MessFor,2        255,0,0 #ff0000 (default 255,255,255 #ffffff)  "
        "disp-ts.ini [2] MessFor\n"},
       {"reset Color disp-ts.ini,MessFor,2", 0,
        "Color disp-ts.ini,MessFor,2 = 255,255,255 #ffffff (default)\n"}});
}

TEST_F(JknTest, FamiliesWhoseCallerGivesTheDefault) {
  writeBytes(inf("def-share.ini"), withCrLf("[SKSG]\nWDT4=\nCOL1=0,128\nTYP07=5\n"));
  run({{"get SksWidth 3", 8,
        "jkn: SksWidth 3: " + kCallers +
            " ('jkn get SksWidth 3:DEFAULT' reads as with that default)\n"},
       {"get SksWidth 3:80", 0, "80\n"},
       {"get SksWidth 4", 8, "jkn: SksWidth 4: " + kCallers},
       {"get SksWidth 4:-9", 0, "-9\n"},
       {"get SksColor 1", 0, "0,128,255 #0080ff\n"},
       {"get SksColor 2:#102030", 0, "16,32,48 #102030\n"},
       {"get SksColor 2:1,2,3", 0, "1,2,3 #010203\n"},
       {"get SksType 7:1", 0, "1\n"},
       {"get --json SksWidth 3", 8,
        document(R"({"default":null,"differs":false,"file":"root0/inf/def-share.ini","key":"WDT3",
         "name":"SksWidth","note":")" +
                 kCallers + R"(","section":"SKSG","selector":"3",
         "stored":false,"value":null})")},
       {"get --json SksWidth 3:80", 0, "\"default\": 80,\n  \"differs\": false,"},
       {"set SksWidth 3 5", 0, "SksWidth 3 = 5\n"},
       {"get SksWidth 3:80", 0, "5\n"},
       {"set GNSS_SkyPlotLClm -1:4 7", 0, "GNSS_SkyPlotLClm -1:4 = 7\n"},
       {"get SksWidth", 2, "SksWidth needs a selector: N or N:DEFAULT"},
       {"set SksWidth 3 x", 1, "an integer from -2147483648 to 2147483647; got 'x'"},
       {"list Display | grep Sks.*SKSG..[WCT][DOY]", 0,
        "* SksColor 1                         0,128,255 #0080ff (default: the caller's)  "
        "def-share.ini [SKSG] COL1\n"
        "* SksWidth 3                         5 (default: the caller's)  def-share.ini [SKSG] "
        "WDT3\n"
        "= SksWidth 4                         (" +
            kCallers + ")  def-share.ini [SKSG] WDT4\n"},
       {"reset SksWidth 3", 0, "SksWidth 3 = (" + kCallers + ")\n"}});
  EXPECT_EQ(snapshot(), withCrLf("== root0/inf/def-share.ini\n[SKSG]\nWDT4=\nCOL1=0,128\nTYP07=5\n"
                                 "== root0/inf/jkn-gnss.ini\n[SKYPLOT]\n-1=7\n"));
}

TEST_F(JknTest, ZoomScalesByModeAreReadOnly) {
  writeBytes(inf("def-share.ini"), withCrLf("[GZPROP]\nMDL=1.6\nA_MDL=1.5x\nA_SML=0.7\n"));
  run({{"get ZoomModeScale 1", 0, "1.6\n"},
       {"get ZoomModeScale 2", 0, "1.4\n"},
       {"get ZoomModeScale 65535", 0, "1\n"},
       {"get AssistMainZoomModeScale 0", 0, "0.7\n"},
       {"get AssistMainZoomModeScale 7", 0, "1.5\n"},
       {"get AssistMainZoomModeScale 2", 0, "1.2\n"},
       {"set ZoomModeScale 0 1", 1, "ZoomModeScale is read-only"},
       {"reset AssistMainZoomModeScale 1", 1, "AssistMainZoomModeScale is read-only"},
       {"describe AssistMainZoomModeScale", 0,
        "  key:       A_SML (0), A_MDL (1), A_LRG (2); any other mode: A_MDL\n"
        "  kind:      number (written with 3 decimals; read from the default text \"0.8\"; "
        "32-byte buffer)\n  default:   0.8 (0), 1 (1), 1.2 (2)"}});
}

// A field is read through the record getter and written through the record
// setter, which writes the whole record with the others as read.
TEST_F(JknTest, RecordsFieldByField) {
  run({{"set GNSS_RTKConnectProp S.BaudRate 4800", 0, "GNSS_RTKConnectProp S.BaudRate = 4800\n"},
       {"set GNSS_RTKConnectProp hosei 5", 0, "GNSS_RTKConnectProp Hosei = 5\n"},
       {"set GNSS_RTKConnectProp s.radio 3", 0, "GNSS_RTKConnectProp S.Radio = 3\n"},
       {"get GNSS_RTKConnectProp R.BaudRate", 0, "9600\n"},
       {"get GNSS_RTKConnectProp 4", 0, "9600\n"},
       {"get GNSS_RTKConnectProp", 2, "GNSS_RTKConnectProp needs a selector: field: Radio, Hosei"},
       {"set GNSS_RTKConnectProp R.Parity 256", 1, "an integer from 0 to 255; got '256'"},
       {"set NMEA_BtInfo port 3", 0, "NMEA_BtInfo port = 3\n"},
       {"set NMEA_BtInfo address 00:1A:2B", 0, "NMEA_BtInfo address = 00:1A:2B\n"},
       {"set NMEA_BtInfo address " + std::string(32, 'A'), 1, "reads at most 31 bytes"},
       {"set GNSS_StaCurrentAntenna height 1.25", 0, "GNSS_StaCurrentAntenna height = 1.25\n"},
       {"set GNSS_StaCurrentReceiver serialNo RX-1", 0,
        "GNSS_StaCurrentReceiver serialNo = RX-1\n"},
       {"set TS_ZETRBtRadio use 2", 1, "TS_ZETRBtRadio takes 0 or 1"},
       {"set TS_ZETRBtRadio channel 4", 0, "TS_ZETRBtRadio channel = 4\n"}});
  EXPECT_EQ(snapshot(),
            withCrLf("== root0/inf/def-ts.ini\n[TS]\nZETR_UseBtRadio=0\nZETR_BtRadioCh=4\n"
                     "ZETR_BtRadioNw=1\n== root0/inf/jkn-gnss-rtk.ini\n[GNSS]\nRTKRadio=3\n"
                     "RTKHosei=5\nRTKFlowCTS=1\nRTKPortNoS=1\nRTKBaudRateS=4800\nRTKParityS=0\n"
                     "RTKPortNoR=1\nRTKBaudRateR=9600\nRTKParityR=0\n"
                     "== root0/inf/jkn-gnss.ini\n[GNSS]\nAntenna_sta=0\n"
                     "AntennaH_sta=1.2500000000\naSerialNo_sta=\nReceiver_sta=-1\n"
                     "rSerialNo_sta=RX-1\n== root0/inf/jkn-nmea.ini\n[NMEA]\nBTAddr=00:1A:2B\n"
                     "BTPort=3\n"));

  // A profile's record: its fields take the path after a colon; the setter
  // checks both values, so a stored one outside its range refuses any write.
  writeBytes(root(0) + "/p.ini", withCrLf("[DST]\nCEN=100\n"));
  run({{"get ZETR_Dst_CentigradePress temperature:root0/p.ini", 0, "100\n"},
       {"set ZETR_Dst_CentigradePress pressure:root0/p.ini 900", 1,
        "jkn: ZETR_Dst_CentigradePress: the record's setter checks every field it writes, and "
        "temperature holds 100, outside what it takes (a number from -70 to 70); give them "
        "together: jkn set ZETR_Dst_CentigradePress pressure:root0/p.ini 900 "
        "temperature:root0/p.ini VALUE\n"},
       {"set PL30_Dst_CentigradePress pressure:root0/p.ini 1300", 1,
        "takes a number from 500 to 1200; got '1300'"},
       {"set ZETR_Dst_CentigradePress temperature:root0/p.ini -70", 0,
        "ZETR_Dst_CentigradePress temperature:root0/p.ini = -70\n"},
       {"set ZETR_Npr_RangeValue MAXIMUM:root0/p.ini 0", 1, "an integer from 1 to 9999; got '0'"},
       {"set ZETR_Npr_RangeValue maximum 5", 0,
        "ZETR_Npr_RangeValue maximum:root0/inf/jkn-zetr.ini = 5\n"},
       {"get ZETR_Sch_HVRangeRad vertical:root0/none.ini", 0, "0.17453292519943295\n"},
       {"describe GNSS_RTKConnectProp", 0,
        "  field BaudRate:\n    key:      R.BaudRate: RTKBaudRateR, S.BaudRate: RTKBaudRateS\n"
        "    kind:     integer (unsigned 32-bit)\n    default:  9600\n    format:   %lu\n"
        "    accepts:  an integer from 0 to 4294967295\n  field Parity:"},
       {"describe ZETR_Npr_RangeValue", 0,
        "  field maximum:\n    key:      RMX\n    kind:     integer (32-bit signed)\n"
        "    default:  999\n    format:   %d\n    accepts:  an integer from 1 to 9999\n"
        "    The setter itself refuses values outside this range."}});
  EXPECT_EQ(readBytes(root(0) + "/p.ini"), withCrLf("[DST]\nCEN=-70.000000\nHPA=1013.250000\n"));
  EXPECT_EQ(readBytes(inf("jkn-zetr.ini")), withCrLf("[NPR]\nRMN=1\nRMX=5\n"));
}

// Automatic loading: the plain setter resets the set-up; a field of the
// record keeps the stored on value as it is, not as the 0 or 1 the record
// getter returns; "no value" is written as an empty key.
TEST_F(JknTest, AutoLoadKeysAndSecondNames) {
  run({{"set TS_AutoLoad_Ex kno 15", 0, "TS_AutoLoad_Ex kno = 15\n"},
       {"set TS_AutoLoad_Ex kh 1.23456", 0, "TS_AutoLoad_Ex kh = 1.235\n"},
       {"set TS_AutoLoad_Ex pane 3", 0, "TS_AutoLoad_Ex pane = 3\n"},
       // The setter resets the set-up beside its key, and says so.
       {"set TS_AutoLoad 2", 0,
        "TS_AutoLoad = 2\nTS_AutoLoad_Ex kno: '15' -> '0' (also written by the setter of "
        "TS_AutoLoad)\nTS_AutoLoad_Ex kh: '1.235' -> '' (also written by the setter of "
        "TS_AutoLoad)\nTS_AutoLoad_Ex pane: '3' -> '99' (also written by the setter of "
        "TS_AutoLoad)\n"},
       {"get TS_AutoLoad_Ex kh", 0, "1e-16\n"},
       {"set TS_AutoLoad_Ex pane 3", 0, "TS_AutoLoad_Ex pane = 3\n"},
       {"get TS_AutoLoad_Ex on", 0, "2\n"},
       {"describe TS_AutoLoad", 0,
        "  also:      the setter also writes AutoLoadKno=0, AutoLoadBno=0, AutoLoadKH= (empty: no "
        "value) and AutoLoadObsPane=99, whatever the value: switching automatic loading on or "
        "off forgets the stored set-up\n  same key:  TS_AutoLoad_Ex reads and writes this key "
        "too; dump and check go by that one"},
       {"set TS_Dsp_StartupJkn 0", 0, "TS_Dsp_StartupJkn = 0\n"},
       {"get ZETR_Dsp_StartupJkn", 0, "0\n"},
       {"set GNSS_CurrentAntennaOffset 123456789.5", 0,
        "GNSS_CurrentAntennaOffset = 123456789.5\n"},
       {"reset TS_Dsp_StartupJkn", 0, "TS_Dsp_StartupJkn = 1 (default)\n"}});
  EXPECT_EQ(snapshot(), withCrLf("== root0/inf/jkn-gnss.ini\n[GNSS]\naOffset=123456789.500000000\n"
                                 "== root0/inf/jkn-ts.ini\n[TS]\nAutoLoad=2\nAutoLoadKno=0\n"
                                 "AutoLoadBno=0\nAutoLoadKH=\nAutoLoadObsPane=3\n"
                                 "== root0/inf/jkn-zetr.ini\n[DSP]\n"));
}

// Numbered families list the entries stored: the keys the getter of a number
// reads ("07" and "+5" are no entry), any number the setter takes.
TEST_F(JknTest, NumberedFamiliesListWhatIsStored) {
  writeBytes(inf("def-ts.ini"),
             withCrLf("[Mkhy]\n07=a\n+5=b\n3\n3=c\nx=d\n-1=e\n0=f\n[MKHY]\n9=g\n[Psm]\n"));
  run({{"set TS_Psm 8 a", 0, "TS_Psm 8 = a\n"},
       {"set TS_Psm -1 b", 0, "TS_Psm -1 = b\n"},
       {"list Display | grep ' Mkhy '", 0,
        "* Mkhy -1                            \"e\" (default \"0.000\")    def-ts.ini [Mkhy] -1\n"
        "* Mkhy 0                             \"f\" (default \"0.000\")    def-ts.ini [Mkhy] 0\n"},
       {"list TS | grep ' TS_Psm '", 0,
        "* TS_Psm -1                          \"b\" (default \"-000mm：(名前指定なし)\")  "
        "def-ts.ini [Psm] -1\n"
        "* TS_Psm 8                           \"a\" (default \"-000mm：(名前指定なし)\")  "
        "def-ts.ini [Psm] 8\n"},
       {"describe TS_Psm", 0, "  selector:  entry number (any integer; the key is the number"}});
}

// dump carries a record whole, each side once it holds a key of its own; a
// key a second name reaches goes by the first; a value that is the caller's
// default travels as its bytes. load takes the document back unchanged.
TEST_F(JknTest, DumpAndLoadCarryRecordsWhole) {
  for (const char* args :
       {"set GNSS_RTKConnectProp S.PortNo 7", "set SksWidth 3 5", "set TS_AutoLoad_Ex on 2",
        "set ZETR_Dst_CentigradePress pressure:root0/p.ini 900", "set TS_Dsp_StartupJkn 0"}) {
    EXPECT_EQ(sh(kJkn + args), 0) << args << ": " << out_;
  }
  sh("printf 'WDT4=\\r\\n' >>root0/inf/def-share.ini");
  const std::string files = snapshot();
  run({{"dump root0/p.ini", 0,
        "SksWidth 3 = 5\nroot 0 def-share.ini [SKSG] WDT4 = \"\"\n"
        "GNSS_RTKConnectProp S.Radio = 0\nGNSS_RTKConnectProp S.Hosei = 2\n"
        "GNSS_RTKConnectProp S.FlowCTS = 1\nGNSS_RTKConnectProp S.PortNo = 7\n"
        "GNSS_RTKConnectProp S.BaudRate = 9600\nGNSS_RTKConnectProp S.Parity = 0\n"
        "TS_AutoLoad_Ex on = 2\nTS_AutoLoad_Ex kno = 0\nTS_AutoLoad_Ex bno = 0\n"
        "TS_AutoLoad_Ex kh = 1e-16\nTS_AutoLoad_Ex pane = 99\n"
        "ZETR_Dsp_StartupJkn (jkn-zetr.ini) = 0\n"
        "ZETR_Dst_CentigradePress temperature root0/p.ini = 20.0\n"
        "ZETR_Dst_CentigradePress pressure root0/p.ini = 900.0"}});
  sh(kJkn + "dump --json root0/p.ini >d.json && rm -rf root0/* root1/inf/* && mkdir root0/inf");
  run({{"load d.json", 0, "TS_AutoLoad_Ex kh: (not stored) -> ''\nTS_AutoLoad_Ex pane"},
       {"dump --json root0/p.ini", 0, readBytes(root(0) + "/../d.json")}});
  EXPECT_EQ(snapshot(), files);
}

// A record's field has one selector, the text get takes, wherever jkn names
// it: a field both sides share goes with the side whose keys are stored (a
// write through the other would add that side's keys), a profile's field
// leaves its profile to the "file".
TEST_F(JknTest, AFieldIsNamedAlikeEverywhere) {
  const auto selectors = [&](const std::string& args, const std::string& name) {
    EXPECT_EQ(sh(kJkn + args), 0) << args;
    const nlohmann::json j = nlohmann::json::parse(out_);
    std::string out;
    for (const nlohmann::json& r : j.is_array() ? j : j["settings"]) {
      if (r["name"] != name) continue;
      const bool none = !r.contains("selector") || r["selector"].is_null();
      out += (out.empty() ? "" : " ") + (none ? "-" : r["selector"].get<std::string>());
    }
    return out;
  };
  const std::string shared = "Radio Hosei FlowCTS ";
  const std::string rSide = "R.PortNo R.BaudRate R.Parity";
  const std::string sSide = "S.PortNo S.BaudRate S.Parity";
  const std::string rtk = "GNSS_RTKConnectProp";
  writeBytes(inf("jkn-gnss-rtk.ini"), withCrLf("[GNSS]\nRTKRadio=1x\nRTKPortNoS=7\n"));
  EXPECT_EQ(selectors("list --json GNSS", rtk), "S.Radio S.Hosei S.FlowCTS " + rSide + " " + sSide);
  EXPECT_EQ(selectors("dump --json", rtk), "S.Radio S.Hosei S.FlowCTS " + sSide);
  run({{"check", 1, "setting: GNSS_RTKConnectProp S.Radio\n    stored:"}});
  sh(kJkn + "set GNSS_RTKConnectProp R.PortNo 5 && sed -i s/RTKRadio=1/RTKRadio=1x/ " +
     inf("jkn-gnss-rtk.ini"));
  EXPECT_EQ(selectors("list --json GNSS", rtk), shared + rSide + " " + sSide);
  EXPECT_EQ(selectors("dump --json", rtk), shared + rSide + " " + sSide);
  run({{"check", 1, "setting: GNSS_RTKConnectProp Radio\n    stored:"}});
  sh(kJkn + "set ZETR_Dst_CentigradePress pressure 900 && " + kJkn + "set ZETR_Npr_Value 5");
  for (const char* args : {"list --json ZETR", "dump --json"}) {
    EXPECT_EQ(selectors(args, "ZETR_Dst_CentigradePress"), "temperature pressure") << args;
    EXPECT_EQ(selectors(args, "ZETR_Npr_Value"), "-") << args;
  }
  run({{"get --json ZETR_Dst_CentigradePress pressure:root0/p.ini", 0,
        "\"file\": \"root0/p.ini\",\n  \"key\": \"HPA\",\n  \"name\": "
        "\"ZETR_Dst_CentigradePress\",\n  \"section\": \"DST\",\n  \"selector\": \"pressure\","}});
}

// A key name given for a setting's points at the settings that read it (an
// area before it, as setting names have, chooses among them); a selector that
// names nothing says which part is wrong and the closest one that names
// something.
TEST_F(JknTest, WrongNamesAndSelectorsSayWhatIsMeant) {
  const auto selector = [](const std::string& name, const std::string& arg,
                           const std::string& why) {
    return Step{"get " + name + " '" + arg + "'", 2,
                "jkn: " + name + ": '" + arg + "' is no selector: " + why + "\n"};
  };
  const std::string colour = "is no colour (red,green,blue or #rrggbb); closest: 1";
  const std::string profile =
      "the profile path after ':' is empty (without ':' the field is "
      "the one of root0/inf/jkn-zetr.ini); closest: vertical";
  run({{"get rtkportnos", 2,
        "jkn: 'rtkportnos' is no setting but key [GNSS] RTKPortNoS of jkn-gnss-rtk.ini: the "
        "setting GNSS_RTKConnectProp S.PortNo reads it\n"},
       {"set NMEA_BTAddr 00:11", 2,
        "jkn: 'NMEA_BTAddr' is no setting; BTAddr is key [NMEA] BTAddr of jkn-nmea.ini: the "
        "setting NMEA_BtInfo address reads it\n"},
       {"describe MaskElev_Svy", 2,
        "jkn: 'MaskElev_Svy' is no setting but key [GNSS] MaskElev_Svy of jkn-gnss.ini: the "
        "setting GNSS_MaskElev svy reads it\n"},
       {"reset WDT-3", 2,
        "jkn: 'WDT-3' is no setting but key [SKSG] WDT-3 of def-share.ini: the setting SksWidth "
        "-3 reads it\n"},
       {"get MessFor", 2,
        "jkn: 'MessFor' is no setting but key [SECTION] MessFor of a settings file (FILE): the "
        "setting Color FILE,MessFor,SECTION reads it\n"},
       {"get BTAddr", 2,
        "jkn: 'BTAddr' is no setting but a key that 2 settings read:\n"
        "  key [GNSS] BTAddr of jkn-gnss.ini: the setting GNSS_BTAddr plain reads it\n"
        "  key [NMEA] BTAddr of jkn-nmea.ini: the setting NMEA_BtInfo address reads it\n"},
       {"get WDT07", 2, "jkn: unknown setting 'WDT07'; 'jkn list' shows every setting\n"},
       selector("Color", "nowhere.ini",
                "FILE 'nowhere.ini' is no settings file (an id from 0 to 17 or a file name); "
                "closest: def-share.ini,MessBak,0"),
       selector("Color", "18,btnpush",
                "FILE '18' is no settings file (an id from 0 to 17 or a file name); closest: "
                "jkn-zetr.ini,BtnPush,0"),
       selector("Color", "disp-ts.ini,MesFor,2",
                "WHICH 'MesFor' is no key (0 to 4 or MessBak, MessFor, BtnNorm, BtnPush, "
                "FuncBak); closest: disp-ts.ini,MessFor,2"),
       selector("Color", "4,5,2a",
                "WHICH '5' is no key (0 to 4 or MessBak, MessFor, BtnNorm, BtnPush, FuncBak); "
                "closest: disp-ts.ini,FuncBak,2"),
       selector("Color", "4,1,x", "SECTION 'x' is no integer; closest: disp-ts.ini,MessFor,0"),
       selector("Color", "4,1,2,3",
                "it has 4 parts, not the three FILE,WHICH,SECTION; closest: disp-ts.ini,MessFor,2"),
       selector("SksWidth", "x3:80", "N 'x3' is no integer (the entry number); closest: 0:80"),
       selector("SksWidth", "-3x:8", "N '-3x' is no integer (the entry number); closest: -3:8"),
       selector("SksWidth", "3:80x",
                "DEFAULT '80x', the default the application passes, is no integer; closest: 3:80"),
       selector("SksColor", "1:1,2",
                "DEFAULT '1,2', the default the application passes, " + colour),
       selector("GNSS_RTKConnectProp", "X.PortNo",
                "side 'X' is neither R nor S; closest: R.PortNo"),
       selector("GNSS_RTKConnectProp", "s.portn",
                "field 'portn' is none of Radio, Hosei, FlowCTS, PortNo, BaudRate, Parity (or 0 "
                "to 5); closest: S.PortNo"),
       selector("GNSS_RTKConnectProp", "6",
                "field '6' is none of Radio, Hosei, FlowCTS, PortNo, BaudRate, Parity (or 0 to "
                "5); closest: Parity"),
       selector("GNSS_RTKConnectProp", "Radio:p.ini",
                "GNSS_RTKConnectProp lies in no profile: no ':' after a field; closest: Radio"),
       selector("NMEA_BtInfo", "S.port",
                "NMEA_BtInfo is a record of no sides: no R. or S. before a field; closest: port"),
       selector("ZETR_Sch_HVRangeRad", "vertical:", profile),
       selector("ZETR_Sch_HVRangeRad", "vertcal:root0/p.ini",
                "field 'vertcal' is none of horizontal, vertical (or 0 to 1); closest: "
                "vertical:root0/p.ini"),
       selector("GNSS_MaskElev", "sideways", "it is neither plain (0) nor svy (1); closest: svy"),
       selector("Use", "25",
                "it is no item code (0 to 53, each with a key; 25 is unassigned); closest: 24"),
       selector("RecSize", "jkn-gnss",
                "it is no settings file id (0 to 17) and no name of one; closest: jkn-gnss.ini"),
       selector("Mkhy", "7a", "it is no entry number (an integer); closest: 7"),
       selector("ZoomModeScale", "65536", "it is no zoom mode (0 to 65535); closest: 65535"),
       selector("ZoomModeScale", "-1", "it is no zoom mode (0 to 65535); closest: 0")});
}

}  // namespace
}  // namespace trasso::test
