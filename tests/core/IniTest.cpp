// The INI format on bytes: reading rules and splice edits.
#include <random>

#include "Ini.h"
#include "TestRoots.h"

namespace trasso::ini {
namespace {

TEST(Ini, FindsTheValueAWindowsReaderWould) {
  // File, section, key, the value found (nullptr: missing).
  const std::tuple<std::string, const char*, const char*, const char*> cases[] = {
      {"[A]\r\nx=1\r\ny=2\r\n", "A", "y", "2"},
      {"[A]\nx=1\ny=2\n", "A", "y", "2"},
      {"[A]\rx=1\ry=2", "A", "y", "2"},
      {"[A]\r\nx=last", "A", "x", "last"},
      {" \t[ A ]\t\r\n  x \t=  v w \t\x1A\r\n", "A", "x", "v w"},
      {"[gnss]\r\npage=3\r\n", "GNSS", "Page", "3"},
      // No comment syntax.
      {"[A]\r\n;x=1\r\nv=1 ; note\r\n", "A", ";x", "1"},
      // The first section and the first key of a name; a line without '=' hides later keys.
      {"[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=2\r\ny=3\r\n", "A", "y", nullptr},
      {"[A]\r\nx=1\r\nx=2\r\n", "A", "x", "1"},
      {"[A]\r\nx\r\nx=2\r\n", "A", "x", nullptr},
      {"x=1\r\n[A]\r\n", "A", "x", nullptr},
      {"[A]\r\n[B]\r\nx=1\r\n", "A", "x", nullptr},
      {"[A]\r\nx=1\r\n", "B", "x", nullptr},
      {"[A] [B]\r\nx=1\r\n", "A] [B", "x", "1"},
      {"[A]\r\n[x=1\r\n", "A", "[x", "1"},
      {"[A]\r\nx=1\r\n", " A\x1A", "\tx ", "1"},  // blanks around the names asked
      {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1"},
      {"[A]\r\n\xEF\xBB\xBFx=1\r\n", "A", "x", nullptr},
      {std::string("[A]\r\nx=ab\0cd\r\n", 14), "A", "x", "ab"},
      {std::string("[A]\r\nx=ab \0cd\r\n", 15), "A", "x", "ab"},
      // Code page 932: second bytes are neither folded nor punctuation.
      {"[A]\r\n\x83\x41=1\r\n", "A", "\x83\x61", nullptr},
      {"[\x83\x41]\r\nx=1\r\n", "\x83\x61", "x", nullptr},
      {"[\x83\x5D]\r\nx=1\r\n", "\x83\x5D", "x", "1"},
      {"[A]\r\n[\x83\x5D=1\r\n", "A", "[\x83\x5D", "1"},
      {"[A]\r\n\x83\x5Bk=2\r\n", "A", "\x83\x5Bk", "2"},
      {"[A]\r\nk\x83=3\r\n", "A", "K\x83", "3"},  // a lead byte ending the name is one byte
  };
  // Values as stored: no comment syntax; one matching pair of quotes goes.
  for (const char* same : {"", "a=b", "1 ; note", "\"", "\"abc'", "\x95\x5C", "\x81\x40v\x81\x40"})
    EXPECT_EQ(findValue("[A]\r\nx=" + std::string(same) + "\r\n", "A", "x"), same);
  const std::pair<const char*, const char*> quoted[] = {
      {"\" a \"", " a "}, {"'b'", "b"}, {"\"\"", ""}, {"\"\"v\"\"", "\"v\""}};
  for (const auto& [stored, read] : quoted)
    EXPECT_EQ(findValue("[A]\r\nx=" + std::string(stored) + "\r\n", "A", "x"), read);
  // What tools take as read from a written value is what the reader finds.
  for (const std::string& written :
       {std::string(), std::string(" \t"), std::string(" 'q' \x1A"), std::string("ab \0cd", 6),
        std::string("v\0", 2), std::string("\" x \"")})
    EXPECT_EQ(valueAsRead(written), findValue("[A]\r\nx=" + written + "\r\n", "A", "x")) << written;
  EXPECT_EQ(valueAsRead(std::string(" ab \0cd", 7)), "ab");
  // Blanks before the value and a byte after it are not its.
  EXPECT_EQ(valueAsRead(std::string_view("  \tx").substr(2, 1)), "");
  for (const auto& [file, section, key, expected] : cases) {
    const auto value = findValue(file, section, key);
    EXPECT_EQ(value.value_or("(missing)"), expected ? expected : "(missing)") << file;
    EXPECT_EQ(KeyIndex(file).find(section, key), value) << file;
  }
}

// An index of a file, and a pass for several keys of a section, find what the
// search for one key finds, in files made of
// the lines that can go wrong, in any order: sections and keys repeated or in
// another case, lines without '=' or before any section, quotes, code page 932
// names, each line end, a byte-order mark.
TEST(Ini, AnIndexFindsWhatTheSearchFinds) {
  const std::string lines[] = {"[A]",        "[a]",     " [ B ]\x1A", "[A] [B]", "[\x83\x5D]",
                               "[\x83\x41]", "[]",      "[x",         "x=1",     "X = 2 ",
                               "x",          "y=\"q\"", " Y='",       "=e",      "\x83\x41=k",
                               "\x83\x61=l", "[x=3",    "k\x83=4",    ";x=5",    "\xEF\xBB\xBFx=6",
                               {"z=a\0b", 5}};
  const char* const breaks[] = {"\r\n", "\n", "\r"};
  const char* const asked[] = {"A",        "a",  " B", "A] [B", "\x83\x5D", "\x83\x41",
                               "\x83\x61", "",   "[x", " x\t",  "Y",        "k\x83",
                               "K\x83",    ";x", "\r", "z"};
  std::mt19937 random(29);
  for (int n = 0; n < 400; ++n) {
    std::string file = n % 5 == 0 ? "\xEF\xBB\xBF" : "";
    for (auto i = random() % 12; i > 0; --i)
      file += lines[random() % std::size(lines)] + breaks[random() % 3];
    const KeyIndex index(file);
    for (const char* section : asked) {
      for (const char* key : asked)
        ASSERT_EQ(index.find(section, key), findValue(file, section, key))
            << "[" << section << "] " << key << " in " << file;
      // Several keys of the section in one pass: a few (one pass over the
      // lines their first bytes start), or all of them (too many first bytes).
      const std::optional<size_t> body = findSectionBody(file, section);
      if (!body) continue;
      const size_t take = n % 2 == 0 ? 4 : std::size(asked);
      const size_t from = n % (std::size(asked) - take + 1);
      std::string_view keys[std::size(asked)];
      std::optional<std::string_view> values[std::size(asked)];
      for (size_t i = 0; i < take; ++i) {
        keys[i] = asked[from + i];
        values[i] = "stale";  // a key not found leaves no earlier value
      }
      findValuesIn(file, *body, keys, take, values);
      for (size_t i = 0; i < take; ++i)
        ASSERT_EQ(values[i], findValue(file, section, keys[i]))
            << "[" << section << "] " << keys[i] << " among others in " << file;
    }
  }
}

// Names are the same to the reader exactly when their folded forms are equal.
TEST(Ini, FoldedNamesAreEqualExactlyForTheSameNames) {
  const char* names[] = {"MaskElev", "MASKELEV", "maskelev",  "MaskElev_Svy", "",
                         "\x83\x41", "\x83\x61", "\x83\x41x", "\x83\x41X",    "a\x83",
                         "A\x83",    "[]",       "\x81\x5B"};
  for (const char* a : names)
    for (const char* b : names)
      EXPECT_EQ(ini::foldedName(a) == ini::foldedName(b), ini::sameName(a, b)) << a << " " << b;
  EXPECT_EQ(ini::foldedName("Mask\x83\101Elev"), "mask\x83\101elev");
}

TEST(Ini, EditsSpliceOnlyWhatChanges) {
  struct Case {
    std::string before;
    const char *section, *key;
    const char* value;  // nullptr: remove the key
    std::string after;
    const char* readBack = nullptr;  // what a read then gives, when not the value
  } const cases[] = {
      {"", "GNSS", "Page", "3", "[GNSS]\r\nPage=3\r\n"},
      {"; top\r\n[A]\r\nx = old  \r\ny=2\r\n", "A", "x", "new",
       "; top\r\n[A]\r\nx =new\r\ny=2\r\n"},
      {"[a]\nPAGE=1\n", "A", "Page", "2", "[a]\nPAGE=2\n"},
      {"[A]\nx=1\n; note\n\n[B]\ny=2\n", "A", "z", "3", "[A]\nx=1\nz=3\n; note\n\n[B]\ny=2\n"},
      {"[A]\r\n\r\n[B]\r\n", "A", "z", "3", "[A]\r\nz=3\r\n\r\n[B]\r\n"},
      {"[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2"},
      {"[A]\nx=1\n\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"[A]\rx=1", "B", "y", "2", "[A]\rx=1\r[B]\ry=2\r"},
      {"\xEF\xBB\xBF", "B", "y", "2", "\xEF\xBB\xBF[B]\r\ny=2\r\n"},
      {"[A]\nx=1\n[A]\nx=2\n", "A", "x", "9", "[A]\nx=9\n[A]\nx=2\n"},
      {"[A]\nx=1\nx=2\n", "A", "x", "9", "[A]\nx=9\nx=2\n"},
      {"[A]\nx\n", "A", "x", "5", "[A]\nx=5\n"},
      {"\xEF\xBB\xBF[A]\r\nj=\x95\x5C\xFF\r\n", "A", "k", "1",
       "\xEF\xBB\xBF[A]\r\nj=\x95\x5C\xFF\r\nk=1\r\n"},
      // Written as given, read as a Windows reader gives it.
      {"[A]\n", "A", "x", "  0,255,  0 ", "[A]\nx=  0,255,  0 \n", "0,255,  0"},
      {"[A]\n", "A", "x", "'v'", "[A]\nx='v'\n", "v"},
      {"[A]\n", "A", "x", "\"v", "[A]\nx=\"v\n"},
      {"[A]\r\nx=1\r\ny=2\r\n", "A", "x", nullptr, "[A]\r\ny=2\r\n"},
      {"[A]\nx=1\ny=2", "A", "y", nullptr, "[A]\nx=1\n"},
      {"[A]\nx=1\n", "A", "y", nullptr, "[A]\nx=1\n"},
      {"[A]\nx=1\n", "B", "x", nullptr, "[A]\nx=1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before + " / " + c.key);
    std::string file = c.before;
    if (c.value != nullptr) setValue(file, c.section, c.key, c.value);
    const bool removed = c.value == nullptr && removeKey(file, c.section, c.key);
    EXPECT_EQ(removed, c.value == nullptr && c.before != c.after);
    EXPECT_EQ(file, c.after);
    const char* read = c.readBack ? c.readBack : c.value ? c.value : "(missing)";
    EXPECT_EQ(findValue(file, c.section, c.key).value_or("(missing)"), read);
  }
}

// Many assignments made in one pass give the bytes of the same assignments made
// one by one, whatever the file's line breaks, repeated sections and names.
TEST(Ini, ManyAssignmentsAtOnceGiveTheBytesOfOneByOne) {
  const char* const sections[] = {"A", "a", "B", "C", "\x83\x41", "D"};
  const char* const keys[] = {"x", "X", "y", "k", "z", "\x83\x61"};
  const char* const values[] = {"", "1", "  v ", "'q'", "22"};
  std::mt19937 random(7);
  const auto pick = [&random](const auto& from) { return from[random() % std::size(from)]; };
  for (const char* before :
       {"", "\xEF\xBB\xBF", "[A]\r\nx=1\r\ny=2\r\n", "[A]\r\nx=1",
        "[A]\rx=1\r[B]\ry=", "; top\nz=0\n[a]\nX = old  \n\n[B]\n[A]\nx=2\n",
        "[A]\r\nx\r\ny=1\r\n[C]\r\n", " [ b ] \r\n\r\nk=\x95\x5C\r\n[\x83\x41]\r\nk=1\r\n",
        "[A]\nx=", "[A]\r\nx=1\r\nX=2\r\nk=3\r\n[a]\r\ny=4\r\n"})
    for (int round = 0; round < 200; ++round) {
      std::vector<Assignment> assignments(8 + random() % 12);
      for (Assignment& a : assignments) a = {pick(sections), pick(keys), pick(values)};
      std::string oneByOne = before, text;
      for (const Assignment& a : assignments) {
        setValue(oneByOne, a.section, a.key, a.value);
        text += "[" + a.section + "]" + a.key + "=" + a.value + " ";
      }
      std::string atOnce = before;
      setValues(atOnce, assignments);
      ASSERT_EQ(atOnce, oneByOne) << before << " / " << text;
    }
}

// A file may be the head of a larger buffer: nothing past its end is read, though
// a skip over blanks that ran on there would find a line's next bytes.
TEST(Ini, ReadsNothingPastTheEndOfTheFile) {
  // Buffer, the file's length in it, section, key, the value found (nullptr:
  // missing), the kinds of the file's lines.
  const std::tuple<const char*, size_t, const char*, const char*, const char*, const char*>
      cases[] = {
          {"[A]\r\nx= k=v", 7, "A", "x", "", "SK"},            // blanks after '='
          {"[A]\r\n \tk=v", 6, "A", "k", nullptr, "SB"},       // a blank-only line
          {"[A]\r\n[ k]\r\nk=v", 6, "k", "k", nullptr, "SK"},  // blanks after '['
      };
  for (const auto& [buffer, size, section, key, expected, kinds] : cases) {
    const std::string_view file(buffer, size);
    const auto value = findValue(file, section, key);
    EXPECT_EQ(value.value_or("(missing)"), expected ? expected : "(missing)") << buffer;
    std::string seen;
    forEachLine(file, [&seen](const LineView& line) { seen += "BSK"[line.kind]; });
    EXPECT_EQ(seen, kinds) << buffer;
  }
}

TEST(Ini, RemovesTheFirstSectionUpToTheNext) {
  std::string file =
      "x=0\r\n[A]\r\na=1\r\n; c\r\n[OBS]\r\nb=2\r\n\r\n[C]\r\nc=3\r\n[OBS]\r\nd=4\r\n";
  EXPECT_TRUE(removeSection(file, "obs"));
  EXPECT_EQ(file, "x=0\r\n[A]\r\na=1\r\n; c\r\n[C]\r\nc=3\r\n[OBS]\r\nd=4\r\n");
  EXPECT_TRUE(removeSection(file, "OBS"));
  EXPECT_FALSE(removeSection(file, "OBS"));
  EXPECT_EQ(file, "x=0\r\n[A]\r\na=1\r\n; c\r\n[C]\r\nc=3\r\n");
}

}  // namespace
}  // namespace trasso::ini
