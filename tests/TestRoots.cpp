#include "TestRoots.h"

#include <stdlib.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

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
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

void makeReadOnly(const std::string& path) {
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

std::string makeFifo(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return "CON";
#else
  return ::mkfifo(path.c_str(), 0644) == 0 ? path : std::string();
#endif
}

void setEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
  ::_putenv_s(name.c_str(), value.c_str());  // an empty value removes it
#else
  value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

std::string listFolder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& name : names) out += name + "\n";
  return out;
}

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
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
  std::random_device random;
  do {
    base_ = std::filesystem::temp_directory_path().string() + "/trasso-test-" +
            std::to_string(random() & 0xFFFFFF);
  } while (!std::filesystem::create_directory(base_));
  for (int n = 0; n < 2; ++n) {
    roots_[n] = base_ + "/root" + std::to_string(n);
    std::filesystem::create_directories(roots_[n] + "/inf");
    setEnv("KORVEL_APPDATA_" + std::to_string(n), roots_[n]);
  }
}

void RootsTest::TearDown() {
  std::error_code ignored;
  // Read-only files and folders made by a test must not stop the clean-up.
  for (auto it = std::filesystem::recursive_directory_iterator(base_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink())
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(base_, ignored);
  setEnv("KORVEL_APPDATA_0", "");
  setEnv("KORVEL_APPDATA_1", "");
}

}  // namespace trasso::test
