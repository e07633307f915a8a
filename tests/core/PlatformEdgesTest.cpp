// Edges of the platform file layers that both platforms share: a folder where
// a write puts its temporary file, and the read buffer after a huge file.
#include <cstdio>
#include <filesystem>
#include <thread>

#include "FileSystem.h"
#include "SettingText.h"
#include "TestRoots.h"
#include "ThreadBuffers.h"

namespace trasso::test {
namespace {

using PlatformEdges = RootsTest;

TEST_F(PlatformEdges, AFolderWhereTheTemporaryFileGoesIsNamed) {
  const std::string path = inf("jkn-gnss.ini"), temporary = inf(".jkn-gnss.ini.tmp");
  writeBytes(path, "[GNSS]\r\nPage=6\r\n");
  ASSERT_TRUE(std::filesystem::create_directory(temporary));
  EXPECT_EQ(statusOf([] { PutQZJkn_GNSS_Page(7); }), WriteStatus::TempBlocked);
  EXPECT_EQ(GetQZJkn_GNSS_Page(), 6);
  EXPECT_EQ(readBytes(path), "[GNSS]\r\nPage=6\r\n");
  EXPECT_EQ(listFolder(inf("")), ".jkn-gnss.ini.tmp\njkn-gnss.ini\n");
  const std::string words = writeFailureWords(WriteStatus::TempBlocked, path);
  EXPECT_EQ(words.substr(0, words.find(" (")),
            "cannot write " + path + ": a folder stands at " + temporary +
                ", where a write puts the new contents first; remove it");
  // Gone, the write goes through.
  std::filesystem::remove(temporary);
  PutQZJkn_GNSS_Page(7);
  EXPECT_EQ(readBytes(path), "[GNSS]\r\nPage=7\r\n");
}

// A file read whole says whether it was there to read: an empty file is,
// a missing one or a folder is not, and leaves nothing from an earlier read.
TEST_F(PlatformEdges, AFileReadWholeSaysWhetherItWasRead) {
  writeBytes(inf("empty.ini"), "");
  writeBytes(inf("some.ini"), "[A]\r\nx=1\r\n");
  std::filesystem::create_directory(inf("folder.ini"));
  const std::pair<const char*, bool> cases[] = {{"some.ini", true}, {"missing.ini", false},
                                                {"some.ini", true}, {"folder.ini", false},
                                                {"some.ini", true}, {"empty.ini", true}};
  fileio::FileBytes bytes;
  for (const auto& [name, read] : cases) {
    EXPECT_EQ(fileio::platformFileSystem().readFile(inf(name), bytes), read) << name;
    EXPECT_EQ(bytes.view(), std::string(name) == "some.ini" ? "[A]\r\nx=1\r\n" : "") << name;
    // A stream is opened on the same files only.
    std::FILE* stream = fileio::openForReading(inf(name));
    EXPECT_EQ(stream != nullptr, read) << name;
    if (stream != nullptr) std::fclose(stream);
  }
}

// A thread that read an oversized file (cut at kMaxFileSize) does not keep
// the buffer it grew once its files are small again.
TEST_F(PlatformEdges, TheReadBufferShrinksAfterAnOversizedFile) {
  const std::string path = inf("jkn-gnss.ini");
  writeBytes(path, "[GNSS]\r\nPage=6\r\n" + std::string(fileio::kMaxFileSize, ';'));
  std::thread([&] {
    EXPECT_EQ(GetQZJkn_GNSS_Page(), 6);
    EXPECT_GE(threadBuffers()->bytes.capacity(), fileio::kMaxFileSize);
    writeBytes(path, "[GNSS]\r\nPage=5\r\n");
    EXPECT_EQ(GetQZJkn_GNSS_Page(), 5);
    EXPECT_LT(threadBuffers()->bytes.capacity(), fileio::kKeptReadBuffer);
    EXPECT_EQ(GetQZJkn_GNSS_Page(), 5);
  }).join();
}

}  // namespace
}  // namespace trasso::test
