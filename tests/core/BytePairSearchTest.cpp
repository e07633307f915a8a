// The search for a section line's '[': by vectors it stops where the bytewise
// search does, and neither reads a byte past the text.
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include <memory>
#include <random>

#include "BytePairSearch.h"
#include "TestRoots.h"

namespace trasso::bytes {
namespace {

// Two blocks of memory, the second one unreadable: a text copied to the end of
// the first makes any read past it crash.
constexpr size_t kBlock = 1 << 16;  // a multiple of every page size
#ifdef _WIN32
char* guardedBlocks() {
  auto* base = static_cast<char*>(
      VirtualAlloc(nullptr, 2 * kBlock, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old;
  return base && VirtualProtect(base + kBlock, kBlock, PAGE_NOACCESS, &old) ? base : nullptr;
}
void release(char* base) { VirtualFree(base, 0, MEM_RELEASE); }
#else
char* guardedBlocks() {
  void* p = mmap(nullptr, 2 * kBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  auto* base = static_cast<char*>(p);
  return p != MAP_FAILED && mprotect(base + kBlock, kBlock, PROT_NONE) == 0 ? base : nullptr;
}
void release(char* base) { munmap(base, 2 * kBlock); }
#endif

// Texts dense in '[', blanks and the '!' just above them, letters of either case
// and lead bytes, with every length around the 128-byte steps, each ending where
// the unreadable block begins.
TEST(BytePairSearch, VectorsAgreeWithBytewiseAndStopAtTheTextsEnd) {
  if (!vectorScanAvailable()) GTEST_SKIP() << "no AVX2 here";
  const std::unique_ptr<char, void (*)(char*)> memory(guardedBlocks(), release);
  ASSERT_NE(memory, nullptr);
  char* const end = memory.get() + kBlock;
  std::mt19937 random(20261206);
  const std::string alphabet = "[[[gG! \t\x1A\x83\xA3x]\r\n";
  for (size_t size = 0; size < 400; ++size) {
    for (char* c = end - size; c < end; ++c) *c = alphabet[random() % alphabet.size()];
    const std::string_view text(end - size, size);
    for (const unsigned char folded : {0x00, 0x67, 0xA3}) {
      for (size_t from = 0; from <= size; from += 1 + random() % 16) {
        ASSERT_EQ(findPair(text, from, '[', folded, true), findPair(text, from, '[', folded, false))
            << size << " " << from << " " << int{folded};
      }
    }
  }
}

}  // namespace
}  // namespace trasso::bytes
