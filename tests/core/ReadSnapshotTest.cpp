// Reads within a snapshot scope: each file read once for the whole scope,
// values as plain reads give them, the thread's own writes seen after them.
#include <thread>

#include "FileSystemSeam.h"
#include "ReadSnapshot.h"
#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

class Snapshot : public RootsTest {};

TEST_F(Snapshot, ReadsEachFileOnceUntilTheThreadWrites) {
  const std::string a = inf("a.ini"), b = inf("b.ini"), missing = inf("c.ini");
  writeBytes(a, "[A]\r\nx=1\r\ny=\"23\"\r\n[a]\r\nz=3\r\n");
  writeBytes(b, "[B]\r\nx=4\r\n");
  FileSystemSeam seam;
  {
    const fileio::ReadSnapshot snapshot;
    const fileio::ReadSnapshot inner;  // joins the outer scope
    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ(readRaw(a, "a", "X"), "1");
      EXPECT_EQ(readText(a, "A", "y", "d", 2), "2");  // quotes go, then the cut
      EXPECT_EQ(readIntBits(a, "A", "z", 7), 7u);     // only the first [A] is read
      EXPECT_EQ(readRaw(b, "B", "x"), "4");
      EXPECT_EQ(readText(missing, "C", "x", "d"), "d");
    }
    EXPECT_EQ(seam.calls(Step::ReadFile), 3);
    // Another thread reads for itself.
    std::thread([&] { EXPECT_EQ(readRaw(b, "B", "x"), "4"); }).join();
    EXPECT_EQ(seam.calls(Step::ReadFile), 4);
    // What others write meanwhile is not seen: the scope reads one version.
    writeBytes(b, "[B]\r\nx=5\r\n");
    EXPECT_EQ(readRaw(b, "B", "x"), "4");
    // A reader keeps the version it read when the thread writes the file.
    const SettingsReader held(a);
    EXPECT_EQ(writeText(a, "A", "x", "6"), kWritten);
    EXPECT_EQ(readRaw(a, "A", "x"), "6");
    EXPECT_EQ(held.raw("A", "x"), "1");
    EXPECT_EQ(readRaw(b, "B", "x"), "5");
    EXPECT_EQ(seam.calls(Step::ReadFile), 6);
    EXPECT_EQ(fileio::removeFile(b), kWritten);
    EXPECT_EQ(readRaw(b, "B", "x"), std::nullopt);
    EXPECT_EQ(seam.calls(Step::ReadFile), 7);
  }
  // Without a scope, every read reads.
  EXPECT_EQ(readRaw(a, "A", "x"), "6");
  EXPECT_EQ(readRaw(a, "A", "y"), "23");
  EXPECT_EQ(seam.calls(Step::ReadFile), 9);
}

}  // namespace
}  // namespace trasso::test
