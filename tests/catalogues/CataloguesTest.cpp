// The read-only catalogues: NTRIP casters and plane rectangular coordinate zones.

#include "TestRoots.h"

namespace trasso::test {
namespace {

class NTripCatalogueTest : public RootsTest {
 protected:
  std::string file() const { return inf("NTrip.ini", 1); }
  void writeCatalogue(const std::string& lines) { writeBytes(file(), "[NTrip]\r\n" + lines); }
};

TEST_F(NTripCatalogueTest, ProviderFieldsAndWhenAProviderIsUsable) {
  const std::string name = "\x93\x8c\x8b\x9e" + std::string(296, 'N');  // 300 bytes
  writeCatalogue("Co01Nam=" + name +
                 "\r\nCo01Idx=2\r\nCo01Adr=caster.example.net\r\nCo01Sct=300\r\n"
                 "Co01PrtCnt=3\r\nCo01Prt000=2101\r\nCo01Prt002=2103\r\nCo1Idx=9\r\n"
                 "Co02Idx=256\r\nCo02Adr=b.example\r\nCo02PrtCnt=1\r\nCo02Prt000=70000\r\n"
                 "Co03Idx=1\r\nCo03Adr=\r\nCo03PrtCnt=1\r\n"
                 "Co04Idx=1\r\nCo04Adr=d.example\r\nCo04PrtCnt=65536\r\n");
  EXPECT_EQ(GetNTrip_Co_Info(0, nullptr), 0);
  CompanyRec first;
  first.Ports = {9};  // ports already there stay in front
  EXPECT_EQ(GetNTrip_Co_Info(0, &first), 1);
  EXPECT_EQ(std::tie(first.Name, first.Index, first.Address, first.Sct, first.Ports),
            std::make_tuple(name.substr(0, 259), 2, "caster.example.net", 44u,
                            std::vector<uint16_t>{9, 2101, 0, 2103}));
  // Provider index and ports already there; result, address and ports after.
  // Index 256 and port 70000 keep their low 8 and 16 bits; a port count of
  // 65536 gives 0. The record is filled whatever the result.
  const std::tuple<uint16_t, std::vector<uint16_t>, int, const char*, std::vector<uint16_t>>
      rows[] = {{1, {}, 0, "b.example", {4464}},
                {2, {}, 0, "", {0}},
                {3, {}, 0, "d.example", {}},
                {3, {1}, 1, "d.example", {1}}};  // the caller's ports count
  for (const auto& [index, given, result, address, ports] : rows) {
    CompanyRec company;
    company.Ports = given;
    EXPECT_EQ(GetNTrip_Co_Info(index, &company), result) << index;
    EXPECT_EQ(std::tie(company.Address, company.Ports), std::tie(address, ports));
  }
}

TEST_F(NTripCatalogueTest, KeysAndCountsForEveryWidthOfNumberFromRootOne) {
  writeBytes(inf("NTrip.ini", 0), "[NTrip]\r\nCoCnt=9\r\nCo01VrsCnt=4\r\n");
  EXPECT_EQ(std::make_pair(GetNTrip_Co_Cnt(), GetNTrip_Protcol_Cnt(1, 1)), std::make_pair(0, 0));
  writeCatalogue(
      "Co09Nam=nine\r\nCo100Nam=hundred\r\nCo00Nam=zero\r\n"
      "CoNam=none\r\nCoIdx=5\r\nCoAdr=none.example\r\nCoSct=7\r\n"
      "Co65535Nam=wrong\r\nCo65535PrtCnt=1\r\nCo65535Prt000=2110\r\n"
      "Co01PrtCnt=1001\r\nCo01Prt999=5\r\nCo01Prt1000=6\r\nCo01Prt100=4\r\n"
      "CoCnt=3\r\nCo01VrsCnt=4\r\nCo01RrsCnt=2\r\nCo100VrsCnt=8\r\nCo07RrsCnt=-1\r\n");
  EXPECT_EQ(GetNTrip_Co_Cnt(), 3);
  // Kind 1 counts "Vrs", any other kind "Rrs".
  // Provider, kind, count.
  const int counts[][3] = {{1, 1, 4},   {1, 0, 2},  {1, 2, 2}, {1, 255, 2},
                           {100, 1, 8}, {7, 0, -1}, {2, 1, 0}};
  for (const auto& c : counts)
    EXPECT_EQ(GetNTrip_Protcol_Cnt(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  for (auto [index, name] :
       {std::pair<uint16_t, const char*>{8, "nine"}, {99, "hundred"}, {65535, "zero"}}) {
    CompanyRec company;
    EXPECT_EQ(GetNTrip_Co_Info(index, &company), 0) << index;
    EXPECT_EQ(std::tie(company.Name, company.Ports),
              std::make_tuple(name, std::vector<uint16_t>()));
  }
  // Provider 65535 reads its four fields without number, its ports with it.
  CompanyRec company;
  EXPECT_EQ(GetNTrip_Co_Info(65534, &company), 1);
  EXPECT_EQ(std::tie(company.Name, company.Index, company.Address, company.Sct, company.Ports),
            std::make_tuple("none", 5, "none.example", 7u, std::vector<uint16_t>{2110}));
  // Port numbers take three digits and widen past them.
  CompanyRec many;
  GetNTrip_Co_Info(0, &many);
  ASSERT_EQ(many.Ports.size(), 1001u);
  EXPECT_EQ(std::tie(many.Ports[100], many.Ports[999], many.Ports[1000]), std::make_tuple(4, 5, 6));
}

TEST_F(NTripCatalogueTest, StreamKeysIdsAndWhenAStreamIsUsable) {
  NTripRec none;
  EXPECT_EQ(std::make_pair(GetNTrip_Protocol_Info(1, 1, 0, &none),
                           GetNTrip_Protocol_Info(1, 1, 0, nullptr)),
            std::make_pair(0, 0));
  EXPECT_EQ(none.Id, 1100);  // computed even without a catalogue
  EXPECT_FALSE(exists(file()));
  // Provider, kind and entry; the key stem read, its stored "i" and the Id.
  const std::tuple<uint8_t, uint8_t, uint16_t, std::string, const char*, uint16_t> rows[] = {
      {1, 2, 0, "Co01Rrs00", "5", 1205},     {3, 0, 123, "Co03Rrs123", "8", 3008},
      {3, 1, 5, "Co03Vrs05", "300", 3144},    // i keeps its low 8 bits: 44
      {1, 1, 65535, "Co01Vrs", "9", 1109},    // no entry number
      {100, 1, 1, "Co100Vrs01", "2", 34566},  // 100102 modulo 65536
  };
  for (const auto& [pn, kind, entry, stem, storedI, id] : rows) {
    writeCatalogue(stem + "i=" + storedI + "\r\n" + stem + "n=north " + stem + "\r\n" + stem +
                   "m=MOUNT\r\n" + stem + "x=70000\r\n");
    NTripRec stream;
    EXPECT_EQ(GetNTrip_Protocol_Info(pn, kind, entry, &stream), 1) << stem;
    EXPECT_EQ(std::tie(stream.Id, stream.NText, stream.MText, stream.XValue),
              std::make_tuple(id, "north " + stem, "MOUNT", 4464));
  }
  writeCatalogue(
      "Co01Vrs00i=1\r\nCo01Vrs00n=N\r\nCo01Vrs00x=3\r\nCo00Rrs00n=N\r\nCo00Rrs00m=M\r\n");
  NTripRec noMount;
  EXPECT_EQ(GetNTrip_Protocol_Info(1, 1, 0, &noMount), 0);
  EXPECT_EQ(std::tie(noMount.Id, noMount.NText, noMount.XValue), std::make_tuple(1101, "N", 3));
  NTripRec zeroId;  // provider 0, kind 0, i 0
  EXPECT_EQ(GetNTrip_Protocol_Info(0, 0, 0, &zeroId), 0);
  EXPECT_EQ(std::tie(zeroId.Id, zeroId.MText), std::make_tuple(0, "M"));
}

using ZoneTable = RootsTest;

TEST_F(ZoneTable, NineteenNumberedRowsAndTheChosenOneInItsFile) {
  ASSERT_EQ(GetHmnZaKeiCnt(), 19);
  // Rows 0 to 18; -1 and 19 leave number and name as they were.
  for (int index = -1; index <= 19; ++index) {
    uint16_t number = 77;
    std::string name = "kept";
    const bool row = index >= 0 && index < 19;
    EXPECT_EQ(GetHmnZaKeiInfo(index, number, name), row ? 1 : 0) << index;
    // "Zone", a half-width space before one-digit numbers, the number, "system:".
    const std::string head = "\x91\xE6" + std::string(index < 9 ? " " : "") +
                             std::to_string(index + 1) + "\x8C\x6E\x81\x46";
    EXPECT_EQ(std::make_pair(int{number}, name.substr(0, row ? head.size() : std::string::npos)),
              std::make_pair(row ? index + 1 : 77, row ? head : "kept"))
        << index;
  }
  // The chosen zone: Get gives the low 16 bits or 1, Set takes numbers of the table only.
  const std::string folder = root(0) + "\\inf", file = inf("HmnZaKei.ini");  // as callers write it
  EXPECT_EQ(GetHmnZaKei(folder.c_str()), 1);
  EXPECT_EQ(GetHmnZaKei(nullptr), 1);
  EXPECT_FALSE(exists(file));
  writeBytes(file, "[HMNZAKEI]\nNO=65561\n");
  EXPECT_EQ(GetHmnZaKei(folder.c_str()), 25);  // the low 16 bits
  // Numbers outside the table are refused and leave the file as it was.
  std::string expected = "; chosen by hand\r\n[HMNZAKEI]\r\nNO=4\r\n";
  writeBytes(file, expected);
  for (auto [number, result] : {std::pair<uint16_t, int>{0, 0}, {1, 1}, {20, 0}, {19, 1}}) {
    EXPECT_EQ(SetHmnZaKei(folder.c_str(), number), result) << number;
    if (result == 1)
      expected = "; chosen by hand\r\n[HMNZAKEI]\r\nNO=" + std::to_string(number) + "\r\n";
    EXPECT_EQ(readBytes(file), expected);
  }
  // A missing folder is not created; the number was valid all the same.
  const std::string missing = root(0) + "/absent";
  EXPECT_EQ(SetHmnZaKei(missing.c_str(), 5), 1);
  EXPECT_FALSE(exists(missing));
}

}  // namespace
}  // namespace trasso::test
