#include "Console.h"

#include <cstring>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "Encoding.h"
#endif

namespace jkn {

Arguments::Arguments(int argc, char** argv) {
#ifdef _WIN32
  // The narrow arguments went through the ANSI code page; the wide ones did not.
  (void)argc;
  (void)argv;
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  for (int i = 0; wide && i < n; ++i) texts_.push_back(wideToUtf8(wide[i]));
  if (wide) LocalFree(wide);
#else
  texts_.assign(argv, argv + argc);
#endif
  for (std::string& t : texts_) pointers_.push_back(t.data());
  pointers_.push_back(nullptr);
}

size_t incompleteTail(const std::string& text) {
  // A character is at most 4 bytes: look back for its lead byte.
  for (size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    const auto c = static_cast<unsigned char>(text[text.size() - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    const size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return need > back ? back : 0;
  }
  return 0;
}

Utf8LineBuffer::int_type Utf8LineBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_.push_back(traits_type::to_char_type(c));
  if (c == '\n') hand();
  return c;
}

std::streamsize Utf8LineBuffer::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<size_t>(n));
  if (std::memchr(s, '\n', static_cast<size_t>(n)) != nullptr) hand();
  return n;
}

int Utf8LineBuffer::sync() {
  hand();
  return 0;
}

void Utf8LineBuffer::hand() {
  const size_t keep = incompleteTail(pending_);
  if (pending_.size() == keep) return;
  write_(pending_.substr(0, pending_.size() - keep));
  pending_.erase(0, pending_.size() - keep);
}

#ifdef _WIN32

namespace {

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

void setUpOutput() {
  _setmode(_fileno(stdin), _O_BINARY);
  setUp(std::cout, stdout, STD_OUTPUT_HANDLE);
  setUp(std::cerr, stderr, STD_ERROR_HANDLE);
  std::cerr.setf(std::ios::unitbuf);
}

#else

void setUpOutput() {}

#endif

}  // namespace jkn
