// A write batch: the setters' writes collected and made as one replacement per
// file with the bytes of the same writes one by one, keys other writers wrote
// meanwhile kept, and all or nothing when a file cannot be written, taking
// back only what still reads as the batch wrote it.
#include <filesystem>
#include <sstream>
#include <thread>

#include "FileSystemSeam.h"
#include "Registry.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "TestRoots.h"
#include "WriteBatch.h"

namespace trasso::test {
namespace {

std::string pathOf(SettingsFile f) { return fileio::nativePath(SettingsFilePath(f)); }

class Batch : public RootsTest {
 protected:
  // jkn-gnss-rtk.ini and jkn-ts.ini exist, def-share.ini and new.ini do not.
  void start() {
    for (const char* name : {"def-share.ini", "new.ini", "jkn-ts.ini", "jkn-gnss-rtk.ini"})
      std::filesystem::remove(inf(name));
    writeBytes(pathOf(SettingsFile::JknGnssRtk), "; radio\n[GNSS]\nRTKPortNoS = 3\n");
    writeBytes(pathOf(SettingsFile::JknTs), "[Other]\r\nx=1\r\n");
  }
  // What a load of many entries does: numbered keys into a new file, a setter
  // that writes beside its key, a record's fields one after the other (each a
  // read of the record and a write of all of it), a key set and removed.
  void writes() {
    for (int i = 0; i < 40; ++i) PutQZJkn_SksWidth(1000 + i, i);
    PutQZJkn_TS_AutoLoad_Ex(1, 7, 2, 1.5, 3);
    PutQZJkn_TS_AutoLoad(2);
    const SettingEntry& rtk = *findSetting("GNSS_RTKConnectProp");
    EXPECT_EQ(rtk.put(Selection{1, "", 3}, Value{int64_t{7}}), kWritten);     // S.PortNo
    EXPECT_EQ(rtk.put(Selection{1, "", 4}, Value{int64_t{4800}}), kWritten);  // S.BaudRate
    writeText(inf("new.ini"), "A", "k", "1");
    writeText(inf("new.ini"), "A", "gone", "2");
    writeText(inf("new.ini"), "A", "gone", nullptr);
  }
  // Every file of root 0's folder with its bytes.
  std::string files() {
    std::string out;
    std::istringstream names(listFolder(inf("")));
    for (std::string name; std::getline(names, name);)
      out += "== " + name + "\n" + readBytes(inf(name));
    return out;
  }
};

TEST_F(Batch, OneReplacementPerFileWithTheBytesOfTheSettersOneByOne) {
  // Without and with a key another program writes before the commit.
  for (const bool other : {false, true}) {
    const auto otherWrite = [] { PutQZJkn_SksWidth(5, 55); };
    start();
    if (other) otherWrite();
    writes();
    const std::string oneByOne = files();
    start();
    const std::string before = files();
    FileSystemSeam seam;
    fileio::WriteBatch batch;
    writes();
    EXPECT_EQ(files(), before) << "collected, not written";
    EXPECT_EQ(seam.calls(Step::Replace), 0);
    // The thread reads what the batch has written, or what was there.
    RTK_CONNECT_PROP s;
    GetQZJkn_GNSS_RTKConnectProp(1, s);
    EXPECT_EQ(std::make_tuple(s.PortNo, s.BaudRate, GetQZJkn_SksWidth(1039, -1)),
              std::make_tuple(7, 4800u, 39));
    batch.showBefore(true);
    GetQZJkn_GNSS_RTKConnectProp(1, s);
    EXPECT_EQ(std::make_tuple(s.PortNo, s.BaudRate, GetQZJkn_SksWidth(1039, -1)),
              std::make_tuple(3, 9600u, -1));
    batch.showBefore(false);
    ASSERT_EQ(batch.files().size(), 4u);
    if (other) std::thread(otherWrite).join();  // as another program would write
    const int replaced = seam.calls(Step::Replace);
    EXPECT_EQ(batch.commit(), kWritten);
    EXPECT_EQ(seam.calls(Step::Replace) - replaced, 4);
    EXPECT_EQ(files(), oneByOne) << "other writer: " << other;
    // What commit found and wrote.
    EXPECT_EQ(batch.files()[0].path, pathOf(SettingsFile::DefShare));
    EXPECT_EQ(batch.files()[0].existed, other);
    EXPECT_EQ(batch.files()[0].after, readBytes(pathOf(SettingsFile::DefShare)));
  }
}

// A file that cannot be written fails the commit with its status; the files
// written before it are taken back and nothing is left beside any of them.
TEST_F(Batch, AFailedCommitLeavesEveryFileAsItWas) {
  // The step, the commit's call of that step, the status, and the file that
  // fails, in the order the batch first wrote them.
  const std::tuple<Step, int, WriteStatus, size_t> faults[] = {
      {Step::WriteTemporary, 1, WriteStatus::DiskFull, 0},
      {Step::Replace, 2, WriteStatus::Busy, 1},
      {Step::WriteTemporary, 4, WriteStatus::DiskFull, 3},
      {Step::ReadCurrent, 3, WriteStatus::IoError, 2},
      {Step::Lock, 4, WriteStatus::AccessDenied, 3},
  };
  for (const auto& [step, call, status, failedFile] : faults) {
    start();
    const std::string before = files();
    FileSystemSeam seam;
    fileio::WriteBatch batch;
    writes();
    seam.failCall(step, call, status);
    EXPECT_EQ(batch.commit(), status);
    EXPECT_EQ(batch.failedPath(), batch.files()[failedFile].path);
    EXPECT_TRUE(batch.notUndone().empty());
    EXPECT_EQ(files(), before) << statusText(status) << " at file " << failedFile;
  }
  // A file the batch could not take fails the setter, not the batch.
  start();
  makeReadOnly(pathOf(SettingsFile::JknTs));
  fileio::WriteBatch batch;
  PutQZJkn_SksWidth(1, 1);
  EXPECT_EQ(statusOf([] { PutQZJkn_TS_AutoLoad(1); }), WriteStatus::ReadOnly);
  EXPECT_EQ(batch.commit(), kWritten);
  EXPECT_EQ(readBytes(pathOf(SettingsFile::DefShare)), "[SKSG]\r\nWDT1=1\r\n");
}

// Undo takes back the keys the batch changed where they still read as it
// wrote them, and nothing another writer wrote since: a key written again
// stays, a key added beside them stays, a section the batch added goes once
// no key is left in it, a file it created goes once nothing else is in it.
TEST_F(Batch, UndoTakesBackOnlyWhatStillReadsAsTheBatchWroteIt) {
  start();
  const std::string before = files();
  fileio::WriteBatch batch;
  writes();
  ASSERT_EQ(batch.commit(), kWritten);
  std::thread([] {  // another writer, as another program would be
    PutQZJkn_SksWidth(1003, 99);
    PutQZJkn_SksWidth(5, 5);
    writeText(pathOf(SettingsFile::JknTs), "Other", "y", "2");
  })
      .join();
  EXPECT_TRUE(batch.undo().empty());
  EXPECT_EQ(files(),
            "== def-share.ini\n[SKSG]\r\nWDT1003=99\r\nWDT5=5\r\n"
            "== jkn-gnss-rtk.ini\n; radio\n[GNSS]\nRTKPortNoS = 3\n"
            "== jkn-ts.ini\n[Other]\r\nx=1\r\ny=2\r\n");
  // Once more, with nobody else writing: every file as it was.
  start();
  fileio::WriteBatch again;
  writes();
  ASSERT_EQ(again.commit(), kWritten);
  EXPECT_TRUE(again.undo().empty());
  EXPECT_EQ(files(), before);
}

}  // namespace
}  // namespace trasso::test
