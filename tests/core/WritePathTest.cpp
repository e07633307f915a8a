// The write algorithm over the file system steps: the steps in their order
// and statuses gathered for callers of setters that return nothing. (Each
// system call of a step failing in turn: SystemCallsTest and WindowsFilesTest.)
#include "FileSystemSeam.h"
#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

using WritePath = RootsTest;

TEST_F(WritePath, StepsComeInOrderAndStopWhereNothingIsToWrite) {
  const std::string path = inf("v.ini"), old = "[A]\r\nx=1\r\n";
  writeBytes(path, old);
  FileSystemSeam seam;
  EXPECT_EQ(writeText(path, "A", "x", "2"), kWritten);
  EXPECT_EQ(seam.takeLog(),
            (std::vector<std::string>{"plan", "lock", "removeLeftovers", "readCurrent",
                                      "writeTemporary", "replace", "flushFolder"}));
  // Nothing to remove: read, then done.
  EXPECT_EQ(writeText(path, "A", "y", static_cast<const char*>(nullptr)), kUnchanged);
  EXPECT_EQ(seam.takeLog(),
            (std::vector<std::string>{"plan", "lock", "removeLeftovers", "readCurrent"}));
  // An empty file is a file like any other.
  writeBytes(path, "");
  EXPECT_EQ(writeText(path, "A", "x", "1"), kWritten);
  EXPECT_EQ(readBytes(path), old);
  seam.takeLog();
  // A refused value takes no step at all.
  EXPECT_EQ(writeText(path, "A", "x", "a\nb"), WriteStatus::Refused);
  EXPECT_EQ(seam.takeLog(), std::vector<std::string>{});
  // The folder flush comes after the new file is in place: its failure is no
  // failed write.
  seam.failCall(Step::FlushFolder, 1, WriteStatus::IoError);
  EXPECT_EQ(writeText(path, "A", "x", "3"), kWritten);
  EXPECT_EQ(readBytes(path), "[A]\r\nx=3\r\n");
}

// A caller of setters that return nothing learns the first failure of a call,
// else whether anything was written; an inner scope passes its writes on.
TEST_F(WritePath, ReportsGatherTheStatusesOfTheirWrites) {
  EXPECT_EQ(WriteReport().status(), kUnchanged);
  const WriteReport outer;
  {
    const WriteReport inner;
    PutQZJkn_GNSS_Page(1);
    EXPECT_EQ(inner.status(), kWritten);
  }
  EXPECT_EQ(outer.status(), kWritten);
  const WriteReport second;
  makeReadOnly(inf("jkn-gnss.ini"));
  PutQZJkn_GNSS_Address(nullptr);  // nothing to remove: unchanged, not read-only
  EXPECT_EQ(second.status(), kUnchanged);
  PutQZJkn_NMEA_Port(2);
  PutQZJkn_GNSS_Page(2);
  PutQZJkn_NMEA_Port(3);
  EXPECT_EQ(second.status(), WriteStatus::ReadOnly);
  EXPECT_EQ(GetQZJkn_NMEA_Port(), 3);
  EXPECT_EQ(combine(kUnchanged, kWritten), kWritten);
  EXPECT_EQ(combine(kWritten, kUnchanged), kWritten);
  EXPECT_EQ(combine(WriteStatus::Busy, WriteStatus::DiskFull), WriteStatus::Busy);
}

// Several changes of one file in one update leave exactly the bytes that the
// same writes made one by one would: in order, each on the file as the last
// one left it, and a change that cannot be stored left out.
TEST_F(WritePath, AnEditLeavesTheBytesOfItsWritesMadeOneByOne) {
  // Section, key, value (null: remove the key).
  const std::tuple<const char*, const char*, const char*> changes[] = {
      {"B", "k", "1"},     {"A", "x", "2"},      {"a", "X", nullptr},
      {"A", "x", "3"},     {"A", "bad", "a\nb"}, {"C", "n", "4"},
      {"B", "k", nullptr}, {"B", "m", "5"},      {"A", "y", "\x82\xa0"},
  };
  for (const std::string& start :
       {std::string(), std::string("; note\n[A]\nx=1\n\n[B]\nk=0\nk=9\n[A]\nx=7\n"),
        std::string("[B]\r\nm=0\r\n[A]\r\ny")}) {
    const std::string oneByOne = inf("one.ini"), together = inf("together.ini");
    // No start: neither file is there.
    for (const std::string& file : {oneByOne, together})
      if (!start.empty()) writeBytes(file, start);
    FileEdit edit(together);
    for (const auto& [section, key, value] : changes) {
      writeText(oneByOne, section, key, value);
      edit.set(section, key, value);
    }
    EXPECT_EQ(edit.commit(), WriteStatus::Refused);
    EXPECT_EQ(readBytes(together), readBytes(oneByOne)) << start;
  }
  FileEdit removals(inf("missing.ini"));
  removals.set("A", "x", static_cast<const char*>(nullptr));
  removals.removeSection("A");
  EXPECT_EQ(removals.commit(), kUnchanged);
  EXPECT_FALSE(exists(inf("missing.ini")));
}

}  // namespace
}  // namespace trasso::test
