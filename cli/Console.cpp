// What both platforms share of Console.h.
#include "Console.h"

#include <cstring>
#include <iostream>

namespace jkn {

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

}  // namespace jkn
