#include <string>
#include <tuple>
#include <vector>

#include "TestRoots.h"
#include "TrassoJkn.h"

namespace {

using trasso::test::exists;
using trasso::test::writeBytes;

class NTripCatalogueTest : public trasso::test::RootsTest {
 protected:
  std::string file() const { return inf("NTrip.ini", 1); }
  void writeCatalogue(const std::string& lines) { writeBytes(file(), "[NTrip]\r\n" + lines); }
};

TEST_F(NTripCatalogueTest, MissingCatalogueGivesNothingAndCreatesNothing) {
  EXPECT_EQ(GetNTrip_Co_Cnt(), 0);
  EXPECT_EQ(GetNTrip_Protcol_Cnt(1, 1), 0);
  CompanyRec company;
  EXPECT_EQ(GetNTrip_Co_Info(0, &company), 0);
  EXPECT_TRUE(company.Ports.empty());
  NTripRec stream;
  EXPECT_EQ(GetNTrip_Protocol_Info(1, 1, 0, &stream), 0);
  EXPECT_EQ(stream.Id, 1100);  // computed even without keys
  EXPECT_EQ(GetNTrip_Co_Info(0, nullptr) + GetNTrip_Protocol_Info(1, 1, 0, nullptr), 0);
  EXPECT_FALSE(exists(file()));
}

TEST_F(NTripCatalogueTest, ProviderFieldsAndWhenAProviderIsUsable) {
  const std::string name = "\x93\x8c\x8b\x9e" + std::string(296, 'N');  // 300 bytes
  writeCatalogue("Co01Nam=" + name +
                 "\r\nCo01Idx=2\r\nCo01Adr=caster.example.net\r\nCo01Sct=300\r\n"
                 "Co01PrtCnt=3\r\nCo01Prt000=2101\r\nCo01Prt002=2103\r\nCo1Idx=9\r\n"
                 "Co02Idx=256\r\nCo02Adr=b.example\r\nCo02PrtCnt=1\r\nCo02Prt000=70000\r\n"
                 "Co03Idx=1\r\nCo03Adr=\r\nCo03PrtCnt=1\r\n"
                 "Co04Idx=1\r\nCo04Adr=d.example\r\nCo04PrtCnt=65536\r\n");
  CompanyRec first;
  first.Ports = {9};  // ports already there stay in front
  EXPECT_EQ(GetNTrip_Co_Info(0, &first), 1);
  EXPECT_EQ(first.Name, name.substr(0, 259));
  EXPECT_EQ(first.Index, 2);
  EXPECT_EQ(first.Address, "caster.example.net");
  EXPECT_EQ(first.Sct, 44u);
  EXPECT_EQ(first.Ports, (std::vector<uint16_t>{9, 2101, 0, 2103}));
  // Index 256 and port 70000 keep their low 8 and 16 bits; a port count of 65536 gives 0.
  const std::vector<uint16_t> ports[] = {{4464}, {0}, {}};
  const char* const addresses[] = {"b.example", "", "d.example"};
  for (uint16_t index = 1; index < 4; ++index) {
    CompanyRec company;
    EXPECT_EQ(GetNTrip_Co_Info(index, &company), 0) << index;
    EXPECT_EQ(company.Ports, ports[index - 1]) << index;  // filled whatever the result
    EXPECT_EQ(company.Address, addresses[index - 1]) << index;
  }
  CompanyRec company;
  company.Ports = {1};
  EXPECT_EQ(GetNTrip_Co_Info(3, &company), 1);  // the caller's ports count
}

TEST_F(NTripCatalogueTest, ProviderKeysForEveryWidthOfNumber) {
  writeCatalogue(
      "Co09Nam=nine\r\nCo100Nam=hundred\r\nCo00Nam=zero\r\n"
      "CoNam=none\r\nCoIdx=5\r\nCoAdr=none.example\r\nCoSct=7\r\n"
      "Co65535Nam=wrong\r\nCo65535PrtCnt=1\r\nCo65535Prt000=2110\r\n"
      "Co01PrtCnt=1001\r\nCo01Prt999=5\r\nCo01Prt1000=6\r\nCo01Prt100=4\r\n");
  for (auto [index, name] :
       {std::pair<uint16_t, const char*>{8, "nine"}, {99, "hundred"}, {65535, "zero"}}) {
    CompanyRec company;
    GetNTrip_Co_Info(index, &company);
    EXPECT_EQ(company.Name, name) << index;
  }
  // Provider 65535 reads its four fields without number, its ports with it.
  CompanyRec company;
  EXPECT_EQ(GetNTrip_Co_Info(65534, &company), 1);
  EXPECT_EQ(std::tie(company.Name, company.Index, company.Address, company.Sct),
            std::make_tuple("none", 5, "none.example", 7u));
  EXPECT_EQ(company.Ports, std::vector<uint16_t>{2110});
  // Port numbers take three digits and widen past them.
  CompanyRec many;
  GetNTrip_Co_Info(0, &many);
  ASSERT_EQ(many.Ports.size(), 1001u);
  EXPECT_EQ(std::tie(many.Ports[100], many.Ports[999], many.Ports[1000]), std::make_tuple(4, 5, 6));
}

TEST_F(NTripCatalogueTest, ProviderAndStreamCountsFromRootOne) {
  writeBytes(inf("NTrip.ini", 0), "[NTrip]\r\nCoCnt=9\r\n");
  writeCatalogue("CoCnt=3\r\nCo01VrsCnt=4\r\nCo01RrsCnt=2\r\nCo100VrsCnt=8\r\nCo07RrsCnt=-1\r\n");
  EXPECT_EQ(GetNTrip_Co_Cnt(), 3);
  const int counts[] = {GetNTrip_Protcol_Cnt(1, 1),   GetNTrip_Protcol_Cnt(1, 0),
                        GetNTrip_Protcol_Cnt(1, 2),   GetNTrip_Protcol_Cnt(1, 255),
                        GetNTrip_Protcol_Cnt(100, 1), GetNTrip_Protcol_Cnt(7, 0),
                        GetNTrip_Protcol_Cnt(2, 1)};
  EXPECT_EQ(std::vector<int>(counts, counts + 7), (std::vector<int>{4, 2, 2, 2, 8, -1, 0}));
}

TEST_F(NTripCatalogueTest, StreamKeysIdsAndWhenAStreamIsUsable) {
  // The key stem a stream's fields are read from, its stored "i" and the Id.
  struct Row {
    uint8_t pn, kind;
    uint16_t entry;
    const char* stem;
    const char* storedI;
    uint16_t id;
  } const rows[] = {
      {1, 1, 0, "Co01Vrs00", "5", 1105},     {1, 2, 0, "Co01Rrs00", "5", 1205},
      {3, 0, 12, "Co03Rrs12", "7", 3007},    {3, 0, 123, "Co03Rrs123", "8", 3008},
      {3, 1, 5, "Co03Vrs05", "300", 3144},    // i keeps its low 8 bits: 44
      {1, 1, 65535, "Co01Vrs", "9", 1109},    // no entry number
      {70, 1, 0, "Co70Vrs00", "0", 4564},     // 70100 modulo 65536
      {100, 1, 1, "Co100Vrs01", "2", 34566},  // 100102 modulo 65536
  };
  for (const Row& row : rows) {
    const std::string stem = row.stem;
    writeCatalogue(stem + "i=" + row.storedI + "\r\n" + stem + "n=north " + stem + "\r\n" + stem +
                   "m=MOUNT\r\n" + stem + "x=70000\r\n");
    NTripRec stream;
    EXPECT_EQ(GetNTrip_Protocol_Info(row.pn, row.kind, row.entry, &stream), 1) << stem;
    EXPECT_EQ(stream.Id, row.id) << stem;
    EXPECT_EQ(stream.NText + "|" + stream.MText, "north " + stem + "|MOUNT");
    EXPECT_EQ(stream.XValue, 4464) << stem;
  }
  writeCatalogue(
      "Co01Vrs00i=1\r\nCo01Vrs00n=N\r\nCo01Vrs00x=3\r\nCo00Rrs00n=N\r\nCo00Rrs00m=M\r\n");
  NTripRec noMount;
  EXPECT_EQ(GetNTrip_Protocol_Info(1, 1, 0, &noMount), 0);
  EXPECT_EQ(std::tie(noMount.Id, noMount.NText, noMount.XValue), std::make_tuple(1101, "N", 3));
  NTripRec zeroId;  // provider 0, kind 0, i 0
  EXPECT_EQ(GetNTrip_Protocol_Info(0, 0, 0, &zeroId), 0);
  EXPECT_EQ(zeroId.Id, 0);
  EXPECT_EQ(zeroId.MText, "M");
}

}  // namespace
