// The INI format on bytes: reading rules and splice edits.
#include <gtest/gtest.h>

#include <string>

#include "Ini.h"

namespace trasso::ini {
namespace {

struct ReadCase {
  const char* label;
  std::string file;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: missing
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValueAWindowsReaderWould) {
  const ReadCase& c = GetParam();
  auto value = findValue(c.file, c.section, c.key);
  if (c.expected == nullptr) {
    EXPECT_FALSE(value.has_value()) << "got '" << std::string(value.value_or("")) << "'";
  } else {
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniRead,
    ::testing::Values(
        ReadCase{"crlf", "[A]\r\nx=1\r\ny=2\r\n", "A", "y", "2"},
        ReadCase{"lf", "[A]\nx=1\ny=2\n", "A", "y", "2"},
        ReadCase{"lone_cr", "[A]\rx=1\ry=2", "A", "y", "2"},
        ReadCase{"no_final_break", "[A]\r\nx=last", "A", "x", "last"},
        ReadCase{"blanks_around", " \t[ A ]\t\r\n  x \t=  v w \t\x1A\r\n", "A", "x", "v w"},
        ReadCase{"case_of_names", "[gnss]\r\npage=3\r\n", "GNSS", "Page", "3"},
        ReadCase{"blanks_around_asked_names", "[A]\r\nx=1\r\n", " A\x1A", "\tx ", "1"},
        ReadCase{"empty_value", "[A]\r\nx=\r\n", "A", "x", ""},
        ReadCase{"first_equals_splits", "[A]\r\nx=a=b\r\n", "A", "x", "a=b"},
        ReadCase{"no_comment_syntax", "[A]\r\n;x=1\r\nv=1 ; note\r\n", "A", ";x", "1"},
        ReadCase{"semicolon_kept_in_value", "[A]\r\nv=1 ; note\r\n", "A", "v", "1 ; note"},
        ReadCase{"double_quotes_removed", "[A]\r\nx=\" a \"\r\n", "A", "x", " a "},
        ReadCase{"single_quotes_removed", "[A]\r\nx='b'\r\n", "A", "x", "b"},
        ReadCase{"lone_quote_stays", "[A]\r\nx=\"abc\r\n", "A", "x", "\"abc"},
        ReadCase{"mixed_quotes_stay", "[A]\r\nx=\"abc'\r\n", "A", "x", "\"abc'"},
        ReadCase{"only_one_pair_removed", "[A]\r\nx=\"\"v\"\"\r\n", "A", "x", "\"v\""},
        ReadCase{"first_section_only", "[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=2\r\ny=3\r\n", "A", "y",
                 nullptr},
        ReadCase{"first_key_only", "[A]\r\nx=1\r\nx=2\r\n", "A", "x", "1"},
        ReadCase{"line_without_equals_hides_later", "[A]\r\nx\r\nx=2\r\n", "A", "x", nullptr},
        ReadCase{"before_first_section", "x=1\r\n[A]\r\n", "A", "x", nullptr},
        ReadCase{"key_in_other_section", "[A]\r\n[B]\r\nx=1\r\n", "A", "x", nullptr},
        ReadCase{"missing_section", "[A]\r\nx=1\r\n", "B", "x", nullptr},
        ReadCase{"name_to_last_bracket", "[A] [B]\r\nx=1\r\n", "A] [B", "x", "1"},
        ReadCase{"bracket_without_close_is_a_key", "[A]\r\n[x=1\r\n", "A", "[x", "1"},
        ReadCase{"bom_skipped", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1"},
        ReadCase{"second_byte_not_folded", "[A]\r\n\x83\x41=1\r\n", "A", "\x83\x61", nullptr},
        ReadCase{"section_second_byte_not_folded", "[\x83\x41]\r\nx=1\r\n", "\x83\x61", "x",
                 nullptr},
        ReadCase{"bom_only_at_start", "[A]\r\n\xEF\xBB\xBFx=1\r\n", "A", "x", nullptr},
        ReadCase{"nul_ends_value", std::string("[A]\r\nx=ab\0cd\r\n", 14), "A", "x", "ab"},
        // Code page 932: 0x95 0x5C and 0x83 0x5D end in '\' and ']' but are letters.
        ReadCase{"cp932_trail_bracket_in_section", "[\x83\x5D]\r\nx=1\r\n", "\x83\x5D", "x", "1"},
        ReadCase{"cp932_trail_bracket_does_not_close", "[A]\r\n[\x83\x5D=1\r\n", "A", "[\x83\x5D",
                 "1"},
        ReadCase{"cp932_trail_backslash_value", "[A]\r\nx=\x95\x5C\r\n", "A", "x", "\x95\x5C"},
        ReadCase{"cp932_trail_bracket_in_key", "[A]\r\n\x83\x5Bk=2\r\n", "A", "\x83\x5Bk", "2"},
        ReadCase{"fullwidth_space_not_blank", "[A]\r\nx=\x81\x40v\x81\x40\r\n", "A", "x",
                 "\x81\x40v\x81\x40"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.label); });

struct EditCase {
  const char* label;
  std::string before;
  const char* section;
  const char* key;
  const char* value;  // nullptr: remove the key
  std::string after;
  const char* readBack = nullptr;  // what a read then gives, when not the value
};

class IniEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(IniEdit, SplicesOnlyWhatChanges) {
  const EditCase& c = GetParam();
  std::string file = c.before;
  if (c.value != nullptr) {
    setValue(file, c.section, c.key, c.value);
    ASSERT_EQ(file, c.after);
    auto back = findValue(file, c.section, c.key);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, c.readBack ? c.readBack : c.value);
  } else {
    EXPECT_EQ(removeKey(file, c.section, c.key), c.before != c.after);
    ASSERT_EQ(file, c.after);
    EXPECT_FALSE(findValue(file, c.section, c.key).has_value());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniEdit,
    ::testing::Values(
        EditCase{"new_file", "", "GNSS", "Page", "3", "[GNSS]\r\nPage=3\r\n"},
        EditCase{"replace_keeps_line", "; top\r\n[A]\r\nx = old  \r\ny=2\r\n", "A", "x", "new",
                 "; top\r\n[A]\r\nx =new\r\ny=2\r\n"},
        EditCase{"replace_case_insensitive", "[a]\nPAGE=1\n", "A", "Page", "2", "[a]\nPAGE=2\n"},
        EditCase{"new_key_after_last_assignment", "[A]\nx=1\n; note\n\n[B]\ny=2\n", "A", "z", "3",
                 "[A]\nx=1\nz=3\n; note\n\n[B]\ny=2\n"},
        EditCase{"new_key_below_empty_section", "[A]\r\n\r\n[B]\r\n", "A", "z", "3",
                 "[A]\r\nz=3\r\n\r\n[B]\r\n"},
        EditCase{"new_key_at_end_without_break", "[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2"},
        EditCase{"new_section_appended", "[A]\nx=1\n\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
        EditCase{"new_section_adds_missing_break", "[A]\rx=1", "B", "y", "2",
                 "[A]\rx=1\r[B]\ry=2\r"},
        EditCase{"first_of_duplicate_sections", "[A]\nx=1\n[A]\nx=2\n", "A", "x", "9",
                 "[A]\nx=9\n[A]\nx=2\n"},
        EditCase{"first_of_duplicate_keys", "[A]\nx=1\nx=2\n", "A", "x", "9", "[A]\nx=9\nx=2\n"},
        EditCase{"key_without_equals_gets_one", "[A]\nx\n", "A", "x", "5", "[A]\nx=5\n"},
        EditCase{"bom_and_odd_bytes_kept", "\xEF\xBB\xBF[A]\r\nj=\x95\x5C\xFF\r\n", "A", "k", "1",
                 "\xEF\xBB\xBF[A]\r\nj=\x95\x5C\xFF\r\nk=1\r\n"},
        // Written as given, read as a Windows reader gives it.
        EditCase{"blank_edges_unquoted", "[A]\n", "A", "x", "  0,255,  0 ", "[A]\nx=  0,255,  0 \n",
                 "0,255,  0"},
        EditCase{"enclosing_quotes_kept", "[A]\n", "A", "x", "'v'", "[A]\nx='v'\n", "v"},
        EditCase{"lone_quote_plain", "[A]\n", "A", "x", "\"v", "[A]\nx=\"v\n"},
        EditCase{"remove_key", "[A]\r\nx=1\r\ny=2\r\n", "A", "x", nullptr, "[A]\r\ny=2\r\n"},
        EditCase{"remove_last_key_without_break", "[A]\nx=1\ny=2", "A", "y", nullptr, "[A]\nx=1\n"},
        EditCase{"remove_missing_key", "[A]\nx=1\n", "A", "y", nullptr, "[A]\nx=1\n"},
        EditCase{"remove_in_missing_section", "[A]\nx=1\n", "B", "x", nullptr, "[A]\nx=1\n"}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.label); });

TEST(IniSection, RemovesTheFirstSectionUpToTheNext) {
  std::string file =
      "x=0\r\n[A]\r\na=1\r\n; c\r\n[OBS]\r\nb=2\r\n\r\n[C]\r\nc=3\r\n[OBS]\r\nd=4\r\n";
  EXPECT_TRUE(removeSection(file, "obs"));
  EXPECT_EQ(file, "x=0\r\n[A]\r\na=1\r\n; c\r\n[C]\r\nc=3\r\n[OBS]\r\nd=4\r\n");
  EXPECT_TRUE(removeSection(file, "OBS"));
  EXPECT_EQ(file, "x=0\r\n[A]\r\na=1\r\n; c\r\n[C]\r\nc=3\r\n");
  EXPECT_FALSE(removeSection(file, "OBS"));
  EXPECT_EQ(file, "x=0\r\n[A]\r\na=1\r\n; c\r\n[C]\r\nc=3\r\n");
}

TEST(IniAppend, AddsALastLineInTheFilesOwnLineEnding) {
  std::string file = "[A]\nx=1";
  appendNewEntry(file, "y", "2");
  appendNewEntry(file, "z", "");
  EXPECT_EQ(file, "[A]\nx=1\ny=2\nz=\n");
  EXPECT_EQ(findValue(file, "A", "y"), std::optional<std::string_view>("2"));
}

TEST(IniStorable, RefusesWhatCouldNotBeReadBack) {
  EXPECT_TRUE(isStorableValue("\x81\x40 \x01\x7F\xFF\t"));
  EXPECT_FALSE(isStorableValue("a\rb"));
  EXPECT_FALSE(isStorableValue("a\nb"));
  EXPECT_TRUE(isStorableKey("Page"));
  for (const char* key : {"", "a=b", "[x]", " x", "x ", "a\nb", "a\rb"}) {
    EXPECT_FALSE(isStorableKey(key)) << key;
  }
  EXPECT_TRUE(isStorableKey("x]"));
  EXPECT_TRUE(isStorableSection("A] [B"));
  EXPECT_TRUE(isStorableSection(""));
  for (const char* section : {"A\r\n[B", " A", "A\t", "\x83", "A\x1A"}) {
    EXPECT_FALSE(isStorableSection(section)) << section;
  }
}

}  // namespace
}  // namespace trasso::ini
