// Console.h on Windows: arguments from the wide command line, wide text to a
// console.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "Console.h"

namespace jkn {

namespace {

// Lone surrogates and bad bytes are replaced, as a console shows them.
std::string wideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring utf8ToWide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
  return out;
}

bool isConsole(HANDLE h) {
  DWORD mode = 0;
  return h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

// Standard output or error: wide text to a console, else UTF-8 bytes unchanged
// (binary mode, so a line break stays one byte as on POSIX).
void setUp(std::ostream& stream, FILE* file, DWORD which) {
  const HANDLE h = GetStdHandle(which);
  std::fflush(file);
  _setmode(_fileno(file), _O_BINARY);
  if (!isConsole(h)) return;
  // Never freed: the streams are flushed at exit, after every static is gone.
  auto* buffer = new Utf8LineBuffer([h](const std::string& utf8) {
    const std::wstring wide = utf8ToWide(utf8);
    DWORD written = 0;
    WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  });
  stream.rdbuf(buffer);
}

}  // namespace

Arguments::Arguments(int /*argc*/, char** /*argv*/) {
  // The narrow arguments went through the ANSI code page; the wide ones did not.
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  for (int i = 0; wide && i < n; ++i) texts_.push_back(wideToUtf8(wide[i]));
  if (wide) LocalFree(wide);
  for (std::string& t : texts_) pointers_.push_back(t.data());
  pointers_.push_back(nullptr);
}

void setUpOutput() {
  _setmode(_fileno(stdin), _O_BINARY);
  setUp(std::cout, stdout, STD_OUTPUT_HANDLE);
  setUp(std::cerr, stderr, STD_ERROR_HANDLE);
  std::cerr.setf(std::ios::unitbuf);
}

const std::vector<StopSignal>& stopSignals() {
  static const std::vector<StopSignal> signals = {
      {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGBREAK, "SIGBREAK"}};
  return signals;
}

void keepRunningPastFileSizeLimit() {}

}  // namespace jkn
