// Our INI reader and writer against the Windows profile functions, in the
// ANSI code page 932. Every (section, key) of every corpus file is read both
// ways; where the rules of this library knowingly differ, the case is listed
// below with the value our reader must give.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso {
namespace {

using test::writeBytes;

// Code page 932 characters whose second byte is punctuation or a letter.
#define SO "\x83\x5C"        // katakana so: second byte '\'
#define ZO "\x83\x5D"        // katakana zo: second byte ']'
#define ZE "\x83\x5B"        // katakana ze: second byte '['
#define KA_A "\x83\x41"      // katakana a: second byte 'A'
#define KA_DI "\x83\x61"     // katakana di: second byte 'a'
#define HYO "\x95\x5C"       // kanji "table": second byte '\'
#define FW_A_UP "\x82\x60"   // full-width A
#define FW_A_LOW "\x82\x81"  // full-width a
#define FW_SPACE "\x81\x40"  // full-width space

struct CorpusFile {
  const char* name;
  std::string bytes;
  std::vector<std::string> sections;
  std::vector<std::string> keys;
};

const std::vector<CorpusFile>& corpus() {
  static const std::vector<CorpusFile> files = {
      {"line_endings", "[A]\r\nx=1\ny=2\rz=3\r\n[B]\rw=4\n", {"A", "B"}, {"x", "y", "z", "w"}},
      {"lone_cr_only", "[A]\rx=1\ry=2\r[B]\rz=3", {"A", "B"}, {"x", "y", "z"}},
      {"blanks_ctrl_z",
       " \t[ A ]\t\r\n  x \t=  v w \t\x1A\r\n\x1Ay\x1A=\x1A"
       "2\x1A\r\n\vz\f=\f3\r\n\x1A",
       {"A", " A "},
       {"x", "y", "z"}},
      {"quotes",
       "[Q]\r\nd=\" a \"\r\ns='b'\r\nlone=\"abc\r\nmixed=\"abc'\r\ntwice=\"\"v\"\"\r\n"
       "empty=\"\"\r\nblank= \" x \" \r\nnum=\"12\"\r\none=\"\r\n",
       {"Q"},
       {"d", "s", "lone", "mixed", "twice", "empty", "blank", "num", "one"}},
      {"duplicates",
       "[A]\r\nx=1\r\nx=2\r\n[B]\r\ny=1\r\n[a]\r\nx=3\r\nz=4\r\n[A]\r\nw=5\r\n",
       {"A", "a", "B"},
       {"x", "y", "z", "w", "X"}},
      {"no_equals",
       "[A]\r\nx\r\nx=2\r\ny =\r\n=5\r\n [B\r\nz=1\r\n[C] [D]\r\nk=6\r\n[]\r\ne=7\r\n",
       {"A", "[B", "C", "C] [D", "D", ""},
       {"x", "y", "", "z", "[B", "k", "e"}},
      {"before_section", "x=0\r\n[A]\r\ny=1\r\n", {"A", ""}, {"x", "y"}},
      {"no_comments", "[A]\r\n;x=1\r\nv=1 ; note\r\n#h=2\r\n", {"A"}, {";x", "v", "#h", "x"}},
      {"bom_ascii", "\xEF\xBB\xBF[A]\r\nx=1\r\n", {"A"}, {"x"}},
      {"bom_twice", "\xEF\xBB\xBF\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\r\ny=2\r\n", {"A", "B"}, {"x", "y"}},
      {"nul_bytes",
       std::string("[A]\r\nx=ab\0cd\r\ny=1\r\n[B\0]\r\nz=3\r\n", 30),
       {"A", "B"},
       {"x", "y", "z"}},
      {"cp932_second_bytes",
       "[" SO "]\r\nk" SO "=v" SO "\r\n[" ZO "]\r\n" ZO "=" ZO "\r\n[" ZE "x]\r\n" ZE "=1\r\n"
       "[" HYO "]\r\n" HYO "=\"" HYO "\"\r\n",
       {SO, ZO, ZE "x", HYO},
       {"k" SO, ZO, ZE, HYO}},
      {"cp932_folding",
       "[" KA_A "]\r\n" KA_A "=1\r\n" FW_A_UP "=2\r\nAb=3\r\n[" KA_DI "]\r\n" KA_DI "=4\r\n",
       {KA_A, KA_DI},
       {KA_A, KA_DI, FW_A_UP, FW_A_LOW, "aB", "AB"}},
      {"cp932_space",
       "[A]\r\n" FW_SPACE "x=1\r\ny=" FW_SPACE "2" FW_SPACE "\r\n",
       {"A"},
       {"x", FW_SPACE "x", "y"}},
      {"integers",
       "[N]\r\nd=20\r\nneg=-5\r\nplus=+7\r\nlead= \t 42abc\r\nletters=abc\r\nempty=\r\n"
       "hex=0x1F\r\nHEX=0X1F\r\noct=0o17\r\nbin=0b101\r\nzero=010\r\nbig=4294967295\r\n"
       "wrap=4294967297\r\nneg_big=-2147483649\r\nhuge=123456789012345678901234567890123\r\n"
       "hexneg=-0x10\r\nbadhex=0xZ\r\nspace_sign=- 5\r\nquoted=\"9\"\r\nsemi=1 ; note\r\n",
       {"N"},
       {"d",    "neg",    "plus",   "lead",       "letters", "empty", "hex",
        "HEX",  "oct",    "bin",    "zero",       "big",     "wrap",  "neg_big",
        "huge", "hexneg", "badhex", "space_sign", "quoted",  "semi"}},
      {"long_values",
       "[L]\r\nascii=" + std::string(300, 'x') + "\r\ncp932=" +
           [] {
             std::string s;
             for (int i = 0; i < 150; ++i) s += KA_A;
             return s;
           }() +
           "\r\nodd=y" +
           [] {
             std::string s;
             for (int i = 0; i < 150; ++i) s += KA_A;
             return s;
           }() +
           "\r\n",
       {"L"},
       {"ascii", "cp932", "odd"}},
  };
  return files;
}

// Where our reader knowingly differs from Wine's profile functions, with what
// ours gives: the text (buffer 260) or the integer.
struct Exception {
  const char* file;
  const char* section;
  const char* key;
  std::optional<std::string> text;
  std::optional<int> integer;
  const char* reason;
};

std::string repeat(const char* s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::vector<Exception> kExceptions = {
    {"before_section", "", "x", "<default>", std::nullopt,
     "Wine keeps the lines before the first section as a section named \"\"; by our rules "
     "they belong to no section."},
    {"no_equals", "", "e", "7", std::nullopt,
     "The same: Wine's first section named \"\" is the (empty) part before the first "
     "section, so it never reaches \"[]\"; ours takes \"[]\" as that first section."},
    {"nul_bytes", "B", "z", "<default>", std::nullopt,
     "A NUL inside a section name: Wine's names end at the NUL; ours keep every byte of a "
     "name (the library never writes a NUL into a name)."},
    {"long_values", "L", "cp932", repeat(KA_A, 129) + "\x83", std::nullopt,
     "A text longer than the buffer is cut at exactly N-1 bytes, also inside a double-byte "
     "character (the text rule); Wine cuts before that character."},
    {"integers", "N", "huge", std::nullopt, -1505606453,
     "Wine reads an integer through a 30-character buffer and drops the digits after the "
     "29th; the integer rule takes every digit, modulo 2^32."},
};

const Exception* findException(const std::string& file, const std::string& section,
                               const std::string& key) {
  for (const Exception& e : kExceptions) {
    if (file == e.file && section == e.section && key == e.key) return &e;
  }
  return nullptr;
}

std::string profileText(const std::string& path, const std::string& section, const std::string& key,
                        size_t size) {
  std::string buffer(size, '\0');
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "<default>", &buffer[0],
                                           static_cast<DWORD>(size), path.c_str());
  buffer.resize(n);
  return buffer;
}

class ProfileDifferential : public test::RootsTest {
 protected:
  void SetUp() override {
    test::RootsTest::SetUp();
    // Wine takes the ANSI code page from the locale (LC_ALL=ja_JP.UTF-8).
    ASSERT_EQ(GetACP(), 932u);
  }
};

TEST_F(ProfileDifferential, OurReaderAgreesWithTheProfileFunctions) {
  for (const CorpusFile& file : corpus()) {
    const std::string path = inf(std::string(file.name) + ".ini");
    writeBytes(path, file.bytes);
    for (const std::string& section : file.sections) {
      for (const std::string& key : file.keys) {
        SCOPED_TRACE(std::string(file.name) + " [" + section + "] " + key);
        const std::string ours = readText(path, section.c_str(), key.c_str(), "<default>");
        const int ourInt = static_cast<int>(readIntBits(path, section.c_str(), key.c_str(), -7));
        const std::string theirs = profileText(path, section, key, 260);
        const int theirInt =
            static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), -7, path.c_str()));
        const Exception* e = findException(file.name, section, key);
        SCOPED_TRACE(e != nullptr ? e->reason : "");
        if (e != nullptr && e->text) {
          EXPECT_EQ(ours, *e->text);
          EXPECT_NE(theirs, ours) << "listed, but no longer differs";
          continue;
        }
        EXPECT_EQ(ours, theirs);
        if (e != nullptr && e->integer) {
          EXPECT_EQ(ourInt, *e->integer);
          EXPECT_NE(theirInt, ourInt) << "listed, but no longer differs";
        } else {
          EXPECT_EQ(ourInt, theirInt) << "'" << ours << "'";
        }
        EXPECT_EQ(readText(path, section.c_str(), key.c_str(), "<default>", 8),
                  profileText(path, section, key, 8));
      }
    }
  }
}

// name, value pairs of one section as both writers get them.
const std::vector<std::pair<std::string, std::string>> kWrites = {
    {"plain", "1"}, {"spaces", "a  b"}, {"cp932", SO HYO KA_A ZO},
    {"empty", ""},  {"semi", "v ; w"},  {"equals", "a=b"},
    {KA_A, KA_DI},
};

TEST_F(ProfileDifferential, FilesOfEitherWriterReadTheSameBothWays) {
  const std::string ours = inf("ours.ini");
  const std::string theirs = inf("theirs.ini");
  for (const char* section : {"S", SO "x"}) {
    for (const auto& [key, value] : kWrites) {
      ASSERT_TRUE(writeText(ours, section, key.c_str(), value));
      ASSERT_TRUE(WritePrivateProfileStringA(section, key.c_str(), value.c_str(), theirs.c_str()));
    }
  }
  // Removing a key, and a key written twice.
  ASSERT_TRUE(writeText(ours, "S", "spaces", static_cast<const char*>(nullptr)));
  ASSERT_TRUE(WritePrivateProfileStringA("S", "spaces", nullptr, theirs.c_str()));
  ASSERT_TRUE(writeText(ours, "S", "plain", "2"));
  ASSERT_TRUE(WritePrivateProfileStringA("S", "plain", "2", theirs.c_str()));
  // Flush the profile cache so that the file is on the disk.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, theirs.c_str());

  for (const char* section : {"S", SO "x"}) {
    for (const auto& [key, value] : kWrites) {
      SCOPED_TRACE(std::string(section) + " " + key);
      const bool inS = std::string(section) == "S";
      const std::string expected = inS && key == "spaces"  ? "<default>"
                                   : inS && key == "plain" ? "2"
                                                           : value;
      EXPECT_EQ(readText(ours, section, key.c_str(), "<default>"), expected);
      EXPECT_EQ(profileText(ours, section, key, 260),
                readText(ours, section, key.c_str(), "<default>"));
      EXPECT_EQ(readText(theirs, section, key.c_str(), "<default>"),
                profileText(theirs, section, key, 260));
      EXPECT_EQ(readText(ours, section, key.c_str(), "<default>"),
                readText(theirs, section, key.c_str(), "<default>"));
    }
  }
}

}  // namespace
}  // namespace trasso
