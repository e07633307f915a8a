// Watches: every kind of writer gives exactly the changes a getter sees.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "SettingsFileIo.h"
#include "TestRoots.h"
#include "TrassoJknC.h"
#include "WatchSupport.h"

namespace trasso::test {
namespace {

// A path as a JSON text holds it.
std::string inJson(std::string path) {
  for (size_t at = 0; (at = path.find('\\', at)) != std::string::npos; at += 2)
    path.insert(at, 1, '\\');
  return path;
}

class WatchTest : public RootsTest {
 protected:
  void TearDown() override {
    close();
    RootsTest::TearDown();
  }
  // Closes the watch, which on Windows holds the folders it watches.
  void close() { jkn_watch_close(std::exchange(watch_, nullptr)); }

  JknWatch* open(std::vector<const char*> names = {}) {
    close();
    EXPECT_EQ(jkn_watch_open(names.data(), names.size(), &watch_), JKN_OK);
    return watch_;
  }

  // The changes given until none comes for quietMs, with "{inf}" for root 0's
  // folder "inf".
  std::vector<std::string> changes(int32_t firstMs = 3000, int32_t quietMs = 300) {
    std::vector<std::string> out;
    char text[512];
    size_t length = 0;
    while (jkn_watch_next(watch_, out.empty() ? firstMs : quietMs, text, sizeof text, &length) ==
           JKN_OK) {
      std::string change(text, length);
      for (size_t at; (at = change.find(infFolder())) != std::string::npos;)
        change.replace(at, infFolder().size(), "{inf}");
      out.push_back(change);
    }
    return out;
  }

  // Root 0's folder "inf" as the library names it.
  std::string infFolder() const { return inJson(fileio::nativePath(GetQZInf_Path(0))); }

  JknWatch* watch_ = nullptr;
};

std::string change(const std::string& name, const std::string& selector, const std::string& from,
                   const std::string& to, const std::string& file) {
  return "{\"name\": \"" + name + "\", \"selector\": " + selector + ", \"old\": " + from +
         ", \"new\": " + to + ", \"file\": \"{inf}" + file + "\"}";
}

const std::string kPage0To5 = change("GNSS_Page", "null", "0", "5", "jkn-gnss.ini");

TEST_F(WatchTest, EveryWriterGivesTheChangesTheGettersSee) {
  const std::string gnss = inf("jkn-gnss.ini");
  struct Row {
    const char* writer;
    std::function<void()> write;
    std::vector<std::string> expected;
    std::function<void()> before = {};  // done before the watch opens
  };
  const Row rows[] = {
      {"this thread", [] { PutQZJkn_GNSS_Page(5); }, {kPage0To5}},
      {"another thread",
       [] { std::thread([] { PutQZJkn_GNSS_MaskElev(1, 20); }).join(); },
       {change("GNSS_MaskElev", "\"svy\"", "15", "20", "jkn-gnss.ini")}},
      {"another process", [] { inOtherProcess([] { PutQZJkn_GNSS_Page(5); }); }, {kPage0To5}},
      {"an editor, in place, in declaration order",
       [&] { writeBytes(gnss, "[GNSS]\r\nAddress=b c \r\nPage=5\r\nPage=6\r\n"); },
       {kPage0To5, change("GNSS_Address", "null", "\"a\"", "\"b c\"", "jkn-gnss.ini")},
       [&] { writeBytes(gnss, "[GNSS]\r\nAddress=a\r\n"); }},
      {"a file renamed over",
       [&] {
         writeBytes(gnss + ".new", "[GNSS]\nPage=5\n");
         std::filesystem::rename(gnss + ".new", gnss);
       },
       {kPage0To5}},
      {"a file removed: back to the defaults",
       [&] { std::filesystem::remove(gnss); },
       {change("GNSS_Page", "null", "5", "0", "jkn-gnss.ini"),
        change("GNSS_MaskSate", "\"svy\"", "9", "11", "jkn-gnss.ini")},
       [&] { writeBytes(gnss, "[GNSS]\nPage=5\nMaskSate_Svy=\"9\"\n"); }},
      {"a folder made later",
       [&] {
         std::filesystem::create_directory(inf(""));
         PutQZJkn_GNSS_Page(5);
       },
       {kPage0To5},
       [&] { std::filesystem::remove(inf("")); }},
      {"values that read as before, colours as R,G,B",
       [&] {
         PutQZJkn_GNSS_Page(5);
         writeBytes(gnss, "[gnss]\n Page = 5\n[GNSS]\nPage=7\nAddress\n");
         PutQZJkn_SksNormColor(0x00FF0102);
       },
       {change("SksNormColor", "null", "\"153,153,255\"", "\"2,1,255\"", "def-share.ini")},
       [&] { writeBytes(gnss, "[GNSS]\nPage=5\n"); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.writer);
    close();  // before the files change
    std::filesystem::remove(gnss);
    if (row.before) row.before();
    open();
    row.write();
    EXPECT_EQ(changes(), row.expected);
  }
}

TEST_F(WatchTest, ABurstEndsWithTheFinalValue) {
  open({"GNSS_Page", "gnss_maskelev"});
  for (int page = 1; page <= 40; ++page) PutQZJkn_GNSS_Page(page);
  // Some may be taken together, but each starts where the one before ended.
  std::string before = "0";
  for (const std::string& c : changes()) {
    EXPECT_EQ(c.substr(0, 40), "{\"name\": \"GNSS_Page\", \"selector\": null, ") << c;
    const size_t to = c.find(", \"new\": ");
    EXPECT_EQ(c.substr(40, to - 40), "\"old\": " + before);
    before = c.substr(to + 9, c.find(", \"file\"") - to - 9);
  }
  EXPECT_EQ(before, "40");
}

TEST_F(WatchTest, ProfileFilesTimeoutsBuffersAndRefusals) {
#ifdef _WIN32
  const std::string profile = root(0) + "/zetr.ini";
  const std::string shown = inJson(profile), file = inJson(fileio::nativePath(profile));
#else
  // A path is shown as a path (here UTF-8), not as code page 932 text.
  const std::string profile = root(0) + "/\xE6\xA9\x9F.ini";
  const std::string shown = inJson(root(0)) + "/\\u6a5f.ini";
  const std::string& file = shown;
#endif
  open({"ZETR_Ang_DispMode", "GNSS_Page"});
  ASSERT_EQ(jkn_watch_add_file(watch_, profile.c_str()), JKN_OK);

  char text[8] = "x";
  size_t length = 1;
  EXPECT_EQ(jkn_watch_next(watch_, 0, text, sizeof text, &length), JKN_TIMEOUT);
  EXPECT_EQ(jkn_watch_next(watch_, 30, text, sizeof text, &length), JKN_TIMEOUT);
  EXPECT_STREQ(text, "x");
  EXPECT_TRUE(descriptorReady(jkn_watch_descriptor(watch_), 0) == false);

  writeBytes(profile, "[ANG]\nMOD=2\n");
  EXPECT_TRUE(descriptorReady(jkn_watch_descriptor(watch_), 3000));
  const std::string expected = "{\"name\": \"ZETR_Ang_DispMode\", \"selector\": \"" + shown +
                               "\", \"old\": 1, \"new\": 2, \"file\": \"" + file + "\"}";
  // Too small: cut as snprintf cuts, the full length given, kept for the next call.
  EXPECT_EQ(jkn_watch_next(watch_, 3000, text, sizeof text, &length), JKN_OK);
  EXPECT_EQ(std::string(text), expected.substr(0, 7));
  EXPECT_EQ(length, expected.size());
  EXPECT_TRUE(descriptorReady(jkn_watch_descriptor(watch_), 0));
  EXPECT_EQ(jkn_watch_next(watch_, 0, nullptr, 0, &length), JKN_OK);
  EXPECT_EQ(changes(0, 0), std::vector<std::string>{expected});
  EXPECT_FALSE(descriptorReady(jkn_watch_descriptor(watch_), 0));

  JknWatch* none = nullptr;
  const char* names[] = {"GNSS_Page", "GNSS_Pagee"};
  EXPECT_EQ(jkn_watch_open(names, 2, &none), JKN_UNKNOWN_SETTING);
  EXPECT_EQ(none, nullptr);
  char message[200];
  jkn_last_error(message, sizeof message);
  EXPECT_NE(std::string(message).find("'GNSS_Pagee'"), std::string::npos) << message;
  open({"GNSS_Page"});
  EXPECT_EQ(jkn_watch_add_file(watch_, profile.c_str()), JKN_MISUSE);
  EXPECT_EQ(jkn_watch_add_file(watch_, nullptr), JKN_MISUSE);
  EXPECT_EQ(jkn_watch_next(watch_, 0, nullptr, 5, &length), JKN_MISUSE);
  EXPECT_EQ(jkn_watch_descriptor(nullptr), -1);
}

#ifdef _WIN32
// The writer process of the rows above (inOtherProcess), run by them alone.
TEST(WatchChild, DoesItsParentsWrite) {
  if (std::getenv(kChildWork) == nullptr) GTEST_SKIP() << "the writer process of a watch test";
  PutQZJkn_GNSS_Page(5);
}
#endif

}  // namespace
}  // namespace trasso::test
