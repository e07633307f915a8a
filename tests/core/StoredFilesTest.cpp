// How the settings folders' files are named, compared and looked at on each
// platform, the code page's byte rules and the edit distance that picks "did
// you mean".

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cctype>
#include <string>

#include "CodePage932.h"
#include "SettingText.h"
#include "SettingsPaths.h"
#include "StoredFiles.h"
#include "TestRoots.h"
#include "TextConversion.h"

namespace trasso::test {
namespace {

using stored::EntryKind;

TEST(StoredTexts, CodePageBytesAndEditDistance) {
  const std::pair<const char*, bool> bytes[] = {
      {"abc", true},      {"\x81\x40", true},  {"\x81\x3F", false}, {"\x81\x7F", false},
      {"\x81\xFC", true}, {"\x81\xFD", false}, {"\x81", false},     {"\xB1", true},
      {"\xA0", false},    {"\x81\x20", false}, {"\xE0\x5C", true},  {"a\x9F", false}};
  for (const auto& [text, ok] : bytes) EXPECT_EQ(cp932::isText(text), ok) << text;
  // A cut within max bytes keeps double-byte characters whole.
  const std::tuple<const char*, size_t, size_t> cuts[] = {
      {"abc", 2, 2}, {"a\x81\x40", 2, 1}, {"a\x81\x40", 3, 3},   {"\x81\x40\x81", 3, 3},
      {"", 4, 0},    {"ab\x81", 9, 3},    {"\xB1\x81\x40", 2, 1}};
  for (const auto& [text, max, length] : cuts) {
    EXPECT_EQ(cp932::wholeLength(text, max), length) << text << " " << max;
  }
  const std::tuple<const char*, const char*, size_t> pairs[] = {
      {"kitten", "sitting", 3}, {"", "abc", 3},     {"abc", "", 3}, {"abc", "abc", 0},
      {"ab", "ba", 2},          {"list", "lst", 1}, {"a", "b", 1},  {"flaw", "lawn", 2}};
  for (const auto& [a, b, d] : pairs) EXPECT_EQ(editDistance(a, b), d) << a << " " << b;
  // UTF-8 as typed: no overlong form, surrogate or code point past U+10FFFF.
  const std::pair<const char*, bool> utf8[] = {
      {"a\xC3\xA9", true},     {"\xF4\x8F\xBF\xBF", true}, {"\xC0\x80", false},
      {"\xE0\x80\xAF", false}, {"\xED\xA0\x80", false},    {"\xF4\x90\x80\x80", false},
      {"\xE6\x9D", false},     {"\xE6\x9D\x41", false}};  // cut short, then an 'A'
  for (const auto& [text, ok] : utf8) EXPECT_EQ(text::isUtf8(text), ok) << text;
}

// Names and separators: POSIX names have case and only '/' separates; Windows
// names compare without case and '\' separates too, unless it is the second
// byte of a double-byte character ("\x95\x5C" is one).
TEST(StoredNames, ComparedAndSplitAsThePlatformDoes) {
#ifdef _WIN32
  const bool windows = true;
#else
  const bool windows = false;
#endif
  EXPECT_EQ(stored::namesHaveCase(), !windows);
  EXPECT_EQ(stored::sameFileName("JKN-GNSS.INI", "jkn-gnss.ini"), windows);
  EXPECT_TRUE(stored::sameFileName("a\x95\x5C.ini", "a\x95\x5C.ini"));
  EXPECT_FALSE(stored::sameFileName("a.ini", "b.ini"));
  EXPECT_EQ(stored::pathKey("/Inf/\x82\x60.INI"),
            windows ? "/inf/\x82\x60.ini" : "/Inf/\x82\x60.INI");

  const std::tuple<const char*, const char*, const char*> paths[] = {
      // path, its folder on POSIX, on Windows
      {"a/b/c.ini", "a/b", "a/b"},
      {"c.ini", ".", "."},
      {"a\\b\\c.ini", ".", "a\\b"},
      {"a/\x95\x5C.ini", "a", "a"},
      {"x\\\x95\x5C\\y", ".", "x\\\x95\x5C"},
      {"/c.ini", "", ""}};
  for (const auto& [path, posix, win] : paths) {
    EXPECT_EQ(stored::folderOf(path), windows ? win : posix) << path;
  }
  EXPECT_EQ(stored::joinPath("a", "b.ini"), windows ? "a\\b.ini" : "a/b.ini");

  // The root a file's name is read from, in the case the platform allows.
  std::string upper = SettingsFileName(3);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(stored::readingRoot(SettingsFileName(3)), 1);
  EXPECT_EQ(stored::readingRoot(upper), windows ? 1 : -1);
  EXPECT_EQ(stored::readingRoot("AntennaLocal.ini"), 0);
  EXPECT_EQ(stored::readingRoot("ANTENNALOCAL.INI"), windows ? 0 : -1);
  EXPECT_EQ(stored::readingRoot("other.ini"), -1);

  // Texts between a person (UTF-8) and the library (code page 932 on Windows).
  EXPECT_EQ(stored::nativeForm("\xE6\x9D\xB1.ini"), windows ? "\x93\x8C.ini" : "\xE6\x9D\xB1.ini");
  EXPECT_EQ(stored::typedForm("\x93\x8C.ini"), windows ? "\xE6\x9D\xB1.ini" : "\x93\x8C.ini");
  EXPECT_EQ(stored::nativeForm("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");  // none in the code page
}

class StoredEntries : public RootsTest {};

TEST_F(StoredEntries, KindAndIdentityOfWhatStandsAtAPath) {
  const std::string file = inf("jkn-gnss.ini");
  writeBytes(file, "[GNSS]\r\n");
  EXPECT_EQ(stored::entryKind(file), EntryKind::File);
  EXPECT_EQ(stored::entryKind(root(0)), EntryKind::Folder);
  EXPECT_EQ(stored::entryKind(inf("none.ini")), EntryKind::None);
  // One file by two paths has one identity; another file has another.
  EXPECT_FALSE(stored::fileIdentity(file).empty());
  EXPECT_EQ(stored::fileIdentity(root(0) + "/inf/./jkn-gnss.ini"), stored::fileIdentity(file));
  EXPECT_NE(stored::fileIdentity(root(0) + "/inf"), stored::fileIdentity(file));
  EXPECT_EQ(stored::fileIdentity(inf("none.ini")), "");
#ifndef _WIN32
  EXPECT_EQ(stored::entryKind(makeFifo(inf("fifo.ini"))), EntryKind::Pipe);
  ASSERT_EQ(::symlink("nowhere", inf("link.ini").c_str()), 0);
  EXPECT_EQ(stored::entryKind(inf("link.ini")), EntryKind::BadLink);
  EXPECT_EQ(stored::entryKind("/dev/null"), EntryKind::Device);
#endif
}

}  // namespace
}  // namespace trasso::test
