#include "TestRoots.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace trasso::test {

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::string listFolder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& name : names) out += name + "\n";
  return out;
}

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const DecimalText kDecimalTexts[18] = {
    {"0.062", 0.062}, {" \t-1.25", -1.25}, {"+3", 3.0},
    {"+.5", 0.5},     {"-.5", -0.5},       {"7.", 7.0},
    {"1e3x", 1000.0}, {"2.5m", 2.5},       {"1.5.7", 1.5},
    {"-1e-6", -1e-6}, {"", 0.0},           {"abc", 0.0},
    {"-", 0.0},       {".", 0.0},          {"inf", 0.0},
    {"nan", 0.0},     {"0x10", 0.0},       {"12345678901234567890", 12345678901234567890.0},
};

void RootsTest::SetUp() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/trasso-test-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  base_ = pattern;
  for (int n = 0; n < 2; ++n) {
    roots_[n] = base_ + "/root" + std::to_string(n);
    std::filesystem::create_directories(roots_[n] + "/inf");
    ::setenv(("KORVEL_APPDATA_" + std::to_string(n)).c_str(), roots_[n].c_str(), 1);
  }
}

void RootsTest::TearDown() {
  std::error_code ignored;
  // Read-only files and folders made by a test must not stop the clean-up.
  for (auto it = std::filesystem::recursive_directory_iterator(base_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink()) ::chmod(it->path().c_str(), 0755);
  }
  std::filesystem::remove_all(base_, ignored);
  ::unsetenv("KORVEL_APPDATA_0");
  ::unsetenv("KORVEL_APPDATA_1");
}

std::string RootsTest::inf(const std::string& name, int rootNumber) const {
  return roots_[rootNumber] + "/inf/" + name;
}

}  // namespace trasso::test
