// Finding the start of a section line fast: a '[' whose next byte may begin
// the wanted name. memchr stops at every '[' of every other section and pays
// its set-up each time; where the processor has AVX2, 128 bytes are looked at
// in one step and the byte after each '[' is tested in the same vectors, so
// the search stops only where the wanted name may start.
#pragma once

#include <cstddef>
#include <string_view>

namespace trasso::bytes {

// Whether this processor takes the vector path.
bool vectorScanAvailable();

// The first offset at or after from holding `first` whose next byte is a
// blank or another byte up to 0x20, or equals `folded` once bit 0x20 is set in
// it (ASCII letters in either case), or which ends the text; with folded 0,
// the first `first` at all. text.size() when there is none. `first` must be
// above 0x20.
size_t findPair(std::string_view text, size_t from, char first, unsigned char folded,
                bool vector = vectorScanAvailable());

}  // namespace trasso::bytes
