// Shared by every test program: fresh application-data roots for each test,
// whole-file helpers, and what nearly every test file uses.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TrassoJkn.h"
#include "WriteStatus.h"

namespace trasso {
// Statuses print as their text in test messages.
inline void PrintTo(WriteStatus s, std::ostream* out) { *out << statusText(s); }
}  // namespace trasso

namespace trasso::test {

constexpr WriteStatus kWritten = WriteStatus::Written;
constexpr WriteStatus kUnchanged = WriteStatus::Unchanged;

// Whole-file helpers on native paths.
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);
// Takes the write permission bits away (the read-only attribute on Windows).
void makeReadOnly(const std::string& path);
// Makes a FIFO at path and returns path; on Windows returns "CON" instead.
std::string makeFifo(const std::string& path);
// Sets an environment variable; an empty value removes it.
void setEnv(const std::string& name, const std::string& value);
// The names in a folder, sorted ("." and ".." left out).
std::string listFolder(const std::string& folder);
// The text with each "\n" turned into CR LF, as a new settings file ends its lines.
std::string withCrLf(const std::string& text);

// Texts and the numbers the standard text-to-double conversion gives for them;
// the settings' double rule and the numeric library share it.
struct DecimalText {
  const char* text;
  double value;
};
extern const DecimalText kDecimalTexts[18];

// Gives each test two empty roots, with their "inf" folders, through
// KORVEL_APPDATA_0 and KORVEL_APPDATA_1, and removes them afterwards.
class RootsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Native path of a file in the "inf" folder of root 0 or 1.
  std::string inf(const std::string& name, int n = 0) const { return roots_[n] + "/inf/" + name; }
  std::string root(int n) const { return roots_[n]; }

 private:
  std::string base_;
  std::string roots_[2];
};

}  // namespace trasso::test
