// What reaches a Windows console: whole UTF-8 characters at each line break and
// flush, whatever pieces the program wrote them in.
#include <gtest/gtest.h>

#include <ostream>

#include "cli/Console.h"

namespace jkn {
namespace {

TEST(JknConsole, IncompleteTailCountsOnlyACharacterNotYetWhole) {
  // Each tail with the texts that end in it.
  const std::pair<size_t, std::vector<std::string>> cases[] = {
      {0,
       {"", "abc", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xC3\xA9", "\x80", "\x80\x80\x80\x80\x80"}},
      {1, {"a\xE6", "\xC3"}},
      {2, {"\xE6\x97"}},
      {3, {"\xF0\x9F\x98"}}};
  for (const auto& [tail, texts] : cases)
    for (const std::string& text : texts) EXPECT_EQ(incompleteTail(text), tail) << text.size();
}

TEST(JknConsole, WholeCharactersAtLineBreaksAndFlushes) {
  const std::string text = "GNSS_Address = 東京\nç😀 x\n";
  // Every way of cutting the text in two pieces, the second written after a flush.
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    std::vector<std::string> handed;
    Utf8LineBuffer buffer([&](const std::string& s) { handed.push_back(s); });
    std::ostream out(&buffer);
    out << text.substr(0, cut) << std::flush << text.substr(cut) << std::flush;
    std::string joined;
    for (const std::string& h : handed) {
      EXPECT_EQ(incompleteTail(h), 0u) << cut;
      joined += h;
    }
    EXPECT_EQ(joined, text) << cut;
  }
  // Nothing goes out before a line break or a flush.
  std::vector<std::string> handed;
  Utf8LineBuffer buffer([&](const std::string& s) { handed.push_back(s); });
  std::ostream out(&buffer);
  out << "a" << 'b';
  EXPECT_TRUE(handed.empty());
  out << 'c' << '\n' << "d\ne";
  EXPECT_EQ(handed, (std::vector<std::string>{"abc\n", "d\ne"}));
}

}  // namespace
}  // namespace jkn
