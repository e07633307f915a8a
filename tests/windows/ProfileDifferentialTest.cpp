// Our INI reader and writer against the Windows profile functions, in the
// ANSI code page 932: every file below, and a file of either writer, is read
// both ways for each of its sections and keys. Where the rules of this library
// knowingly differ, the case is listed with the value our reader must give.
#include <windows.h>

#include <map>

#include "ReadSnapshot.h"
#include "SettingsValues.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

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

std::string repeat(const std::string& s, int n) { return n > 0 ? s + repeat(s, n - 1) : ""; }

// A file's bytes, and the sections and keys looked up in it, each list split at '|'.
struct Corpus {
  const char* name;
  std::string bytes;
  const char* sections;
  const char* keys;
};

const Corpus kCorpus[] = {
    {"line_endings", "[A]\r\nx=1\ny=2\rz=3\r\n[B]\rw=4\n", "A|B", "x|y|z|w"},
    {"lone_cr_only", "[A]\rx=1\ry=2\r[B]\rz=3", "A|B", "x|y|z"},
    {"blanks_ctrl_z",
     " \t[ A ]\t\r\n  x \t=  v w \t\x1A\r\n\x1Ay\x1A=\x1A"
     "2\x1A\r\n\vz\f=\f3\r\n\x1A",
     "A| A ", "x|y|z"},
    {"quotes",
     "[Q]\r\nd=\" a \"\r\ns='b'\r\nlone=\"abc\r\nmixed=\"abc'\r\ntwice=\"\"v\"\"\r\n"
     "empty=\"\"\r\nblank= \" x \" \r\nnum=\"12\"\r\none=\"\r\n",
     "Q", "d|s|lone|mixed|twice|empty|blank|num|one"},
    {"duplicates", "[A]\r\nx=1\r\nx=2\r\n[B]\r\ny=1\r\n[a]\r\nx=3\r\nz=4\r\n[A]\r\nw=5\r\n",
     "A|a|B", "x|y|z|w|X"},
    {"no_equals", "[A]\r\nx\r\nx=2\r\ny =\r\n=5\r\n [B\r\nz=1\r\n[C] [D]\r\nk=6\r\n[]\r\ne=7\r\n",
     "A|[B|C|C] [D|D|", "x|y||z|[B|k|e"},
    {"before_section", "x=0\r\n[A]\r\ny=1\r\n", "A|", "x|y"},
    {"no_comments", "[A]\r\n;x=1\r\nv=1 ; note\r\n#h=2\r\n", "A", ";x|v|#h|x"},
    {"bom_ascii", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x"},
    {"bom_twice", "\xEF\xBB\xBF\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "A|B", "x|y"},
    {"nul_bytes", std::string("[A]\r\nx=ab\0cd\r\ny=1\r\n[B\0]\r\nz=3\r\n", 30), "A|B", "x|y|z"},
    {"cp932_second_bytes",
     "[" SO "]\r\nk" SO "=v" SO "\r\n[" ZO "]\r\n" ZO "=" ZO "\r\n[" ZE "x]\r\n" ZE "=1\r\n"
     "[" HYO "]\r\n" HYO "=\"" HYO "\"\r\n",
     SO "|" ZO "|" ZE "x|" HYO, "k" SO "|" ZO "|" ZE "|" HYO},
    {"cp932_folding",
     "[" KA_A "]\r\n" KA_A "=1\r\n" FW_A_UP "=2\r\nAb=3\r\n[" KA_DI "]\r\n" KA_DI "=4\r\n",
     KA_A "|" KA_DI, KA_A "|" KA_DI "|" FW_A_UP "|" FW_A_LOW "|aB|AB"},
    {"cp932_space", "[A]\r\n" FW_SPACE "x=1\r\ny=" FW_SPACE "2" FW_SPACE "\r\n", "A",
     "x|" FW_SPACE "x|y"},
    {"integers",
     "[N]\r\nd=20\r\nneg=-5\r\nplus=+7\r\nlead= \t 42abc\r\nletters=abc\r\nempty=\r\n"
     "hex=0x1F\r\nHEX=0X1F\r\noct=0o17\r\nbin=0b101\r\nzero=010\r\nbig=4294967295\r\n"
     "wrap=4294967297\r\nneg_big=-2147483649\r\nhuge=123456789012345678901234567890123\r\n"
     "hexneg=-0x10\r\nbadhex=0xZ\r\nspace_sign=- 5\r\nquoted=\"9\"\r\nsemi=1 ; note\r\n",
     "N",
     "d|neg|plus|lead|letters|empty|hex|HEX|oct|bin|zero|big|wrap|neg_big|huge|hexneg|badhex|"
     "space_sign|quoted|semi"},
    {"long_values",
     "[L]\r\nascii=" + std::string(300, 'x') + "\r\ncp932=" + repeat(KA_A, 150) + "\r\nodd=y" +
         repeat(KA_A, 150) + "\r\n",
     "L", "ascii|cp932|odd"},
};

// A lookup as one text: the value through buffers of 260 and of 8 bytes, and the integer.
std::string ourReading(const std::string& path, const char* section, const char* key) {
  return readText(path, section, key, "<default>") + "|" +
         readText(path, section, key, "<default>", 8) + "|" +
         std::to_string(static_cast<int>(readIntBits(path, section, key, -7)));
}

std::string theirReading(const std::string& path, const char* section, const char* key) {
  std::string reading;
  for (DWORD size : {260, 8}) {
    std::string buffer(size, '\0');
    buffer.resize(
        GetPrivateProfileStringA(section, key, "<default>", &buffer[0], size, path.c_str()));
    reading += buffer + "|";
  }
  return reading +
         std::to_string(static_cast<int>(GetPrivateProfileIntA(section, key, -7, path.c_str())));
}

// Where our reader knowingly differs from Wine's profile functions ("file [section] key"),
// with what ours reads.
const std::map<std::string, std::string> kDifferences = {
    // Lines before the first section belong to no section; Wine keeps them as a section "".
    {"before_section [] x", "<default>|<defaul|-7"},
    // The same: Wine's first section "" is the empty part before the first section, so
    // it never reaches "[]"; ours takes "[]" as that section.
    {"no_equals [] e", "7|7|7"},
    // Our names keep every byte, also a NUL (never written by the library); Wine's end there.
    {"nul_bytes [B] z", "<default>|<defaul|-7"},
    // A text longer than the buffer is cut at exactly N-1 bytes, also inside a double-byte
    // character; Wine cuts before that character.
    {"long_values [L] cp932", repeat(KA_A, 129) + "\x83|" + repeat(KA_A, 3) + "\x83|0"},
    // Wine reads an integer through a 30-character buffer and drops the digits after the
    // 29th; ours takes every digit, modulo 2^32.
    {"integers [N] huge", "123456789012345678901234567890123|1234567|-1505606453"},
};

// The items of a list split at every '|' (an empty one between two bars or at an end).
std::vector<std::string> split(const std::string& list) {
  std::vector<std::string> items(1);
  for (const char c : list) c == '|' ? items.emplace_back() : items.back() += c;
  return items;
}

// Reads every section and key both ways; a listed difference must read as ours
// and still differ.
void expectSameReading(const std::string& name, const std::string& path,
                       const std::vector<std::string>& sections,
                       const std::vector<std::string>& keys) {
  for (const std::string& section : sections) {
    for (const std::string& key : keys) {
      const std::string where = name + " [" + section + "] " + key;
      SCOPED_TRACE(where);
      const std::string ours = ourReading(path, section.c_str(), key.c_str());
      const std::string theirs = theirReading(path, section.c_str(), key.c_str());
      const auto d = kDifferences.find(where);
      EXPECT_EQ(ours, d != kDifferences.end() ? d->second : theirs);
      EXPECT_TRUE(d == kDifferences.end() || ours != theirs) << "listed, yet Wine reads the same";
    }
  }
}

// Wine takes the ANSI code page from the locale (LC_ALL=ja_JP.UTF-8).
using ProfileDifferential = RootsTest;

TEST_F(ProfileDifferential, OurReaderAgreesWithTheProfileFunctions) {
  ASSERT_EQ(GetACP(), 932u);
  for (const Corpus& file : kCorpus) {
    const std::string path = inf(std::string(file.name) + ".ini");
    writeBytes(path, file.bytes);
    expectSameReading(file.name, path, split(file.sections), split(file.keys));
    // The same within a read snapshot, as jkn's list, check and dump read.
    const fileio::ReadSnapshot snapshot;
    expectSameReading(file.name, path, split(file.sections), split(file.keys));
  }
}

TEST_F(ProfileDifferential, FilesOfEitherWriterReadTheSameBothWays) {
  ASSERT_EQ(GetACP(), 932u);
  // Key, first value, then the value it is written with again (null removes the key).
  // The cp932 value, cut to 7 bytes, ends on a character.
  const char* const writes[][3] = {{"plain", "1", "2"},
                                   {"spaces", "a  b", nullptr},
                                   {"empty", "", ""},
                                   {"semi", "v ; w", "v ; w"},
                                   {"equals", "a=b", "a=b"},
                                   {KA_A, KA_DI, KA_DI},
                                   {"cp932", "x" SO HYO KA_A ZO, "x" SO HYO KA_A ZO}};

  const std::string ours = inf("ours.ini"), theirs = inf("theirs.ini");
  std::vector<std::string> keys;
  for (const auto& [key, first, then] : writes) {
    keys.push_back(key);
    for (const char* value : {first, then}) {
      for (const char* section : {"S", SO "x"}) {
        ASSERT_EQ(writeText(ours, section, key, value), kWritten);
        ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, theirs.c_str()));
      }
    }
  }
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, theirs.c_str());  // flush Wine's cache
  for (const std::string& path : {ours, theirs}) {
    expectSameReading(path, path, {"S", SO "x"}, keys);
    for (const auto& [key, first, then] : writes) {
      for (const char* section : {"S", SO "x"}) {
        EXPECT_EQ(readText(path, section, key, "<default>"), then ? then : "<default>")
            << path << " [" << section << "] " << key << " " << first;
      }
    }
  }
}

}  // namespace
}  // namespace trasso::test
