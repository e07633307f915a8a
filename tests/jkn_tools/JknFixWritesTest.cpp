// check --fix's write path, in this process: one locked read-edit-replace per
// file, made on the file as it is under the lock.
#include "FileSystemSeam.h"
#include "TestRoots.h"
#include "cli/Commands.h"
#include "cli/Fixes.h"

namespace trasso::test {
namespace {

// --fix's writes: each file once, its edits made on the file as it is under
// the lock; a fix whose key someone else wrote since check is left, and a
// key's line never goes before its new home is written.
TEST_F(RootsTest, EachFileOneWriteOfItsEditsAsTheyStillFit) {
  using jkn::Edit;
  writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nPage=1x\nA=1\nMaskElev=5\n[TS]\nPort=3\n"));
  writeBytes(inf("jkn-ts.ini"), withCrLf("[TS]\nPort=2\n"));
  makeReadOnly(inf("jkn-ts.ini"));
  const auto set = [](const std::string& file, const char* section, const char* key, const char* to,
                      const char* expect) {
    Edit e{Edit::SetKey, file, section, key};
    e.text = to;
    e.checked = true;
    e.expect = expect;
    return jkn::Step{"", {}, {e}};
  };
  Edit drop{Edit::DeleteLine, inf("jkn-gnss.ini"), "GNSS"};
  drop.line = "A=1";
  Edit moved{Edit::DeleteLine, inf("jkn-gnss.ini"), "TS"};
  moved.line = "Port=3";
  moved.dropEmptySection = true;
  const jkn::Fix fixes[] = {
      {"", {jkn::Step{"", {}, {drop}}}},
      {"", {set(inf("jkn-gnss.ini"), "GNSS", "Page", "1", "Page=1x")}},
      {"", {set(inf("jkn-gnss.ini"), "GNSS", "MaskElev", "7", "MaskElev=4")}},  // stale
      {"", {set(inf("jkn-ts.ini"), "TS", "Port", "3", "Port=2"), jkn::Step{"", {}, {moved}}}}};
  std::vector<jkn::Planned> planned(4);
  for (size_t i = 0; i < 4; ++i) planned[i].fix = &fixes[i];
  FileSystemSeam seam;
  jkn::applyFixes(planned, false);
  EXPECT_EQ(seam.calls(Step::Replace), 1);
  EXPECT_TRUE(planned[0].done && planned[1].done);
  EXPECT_EQ(planned[2].failed, "someone else changed the key since it was checked; check again");
  EXPECT_EQ(planned[3].failed, jkn::writeFailure(WriteStatus::ReadOnly, inf("jkn-ts.ini")).message);
  EXPECT_EQ(planned[3].status, 4);
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), withCrLf("[GNSS]\nPage=1\nMaskElev=5\n[TS]\nPort=3\n"));
  // A full disk: the fix is left with the cause and its status, the file as
  // it was and nothing beside it.
  seam.failCall(Step::WriteTemporary, 1, WriteStatus::DiskFull);
  std::vector<jkn::Planned> again(1);
  again[0].fix = &fixes[0];
  writeBytes(inf("jkn-gnss.ini"), withCrLf("[GNSS]\nA=1\n"));
  jkn::applyFixes(again, false);
  EXPECT_EQ(again[0].failed, jkn::writeFailure(WriteStatus::DiskFull, inf("jkn-gnss.ini")).message);
  EXPECT_EQ(again[0].status, 5);
  EXPECT_EQ(readBytes(inf("jkn-gnss.ini")), withCrLf("[GNSS]\nA=1\n"));
  EXPECT_EQ(listFolder(root(0) + "/inf"), "jkn-gnss.ini\njkn-ts.ini\n");
}

}  // namespace
}  // namespace trasso::test
