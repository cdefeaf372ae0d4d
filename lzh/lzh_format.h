// The compressed stream: LZSS over a 4096-byte history with matches of 3 to
// 60 bytes. Literals and match lengths are symbols of an adaptive Huffman
// tree; a match's distance is a fixed prefix code for its upper 6 bits
// followed by its lower 6 bits. A 1-bit and 0-bits to the byte boundary end
// the stream.
#pragma once
#include <cstdint>

namespace lzh {

constexpr int SymbolCount = 314;  // 0..255 literals, 256..313 lengths 3..60
constexpr int NodeCount = 2 * SymbolCount - 1;
constexpr int RootNode = NodeCount - 1;
constexpr uint16_t MaxFreq = 0x8000;
constexpr uint16_t SentinelWeight = 0xFFFF;

constexpr int WindowSize = 4096;
constexpr int WindowMask = WindowSize - 1;
constexpr int MinMatch = 3;
constexpr int MaxMatch = 60;
constexpr int PrefillLength = WindowSize - MaxMatch;  // also the first write position
constexpr uint8_t PrefillByte = 0x20;

constexpr int FirstLengthSymbol = 256;
constexpr int LengthSymbol(int length) { return length - MinMatch + FirstLengthSymbol; }
constexpr int SymbolLength(int symbol) { return symbol - FirstLengthSymbol + MinMatch; }

// The prefix code of a distance's upper 6 bits: code lengths rise by range
// of values, codes are consecutive within and across ranges.
struct DistanceCode {
    uint8_t length;  // 3..8 bits
    uint8_t code;    // right-aligned
};
DistanceCode DistanceCodeFor(unsigned upper);

// The decoder's lookup from the next 8 bits of the stream.
struct DistanceTables {
    uint8_t high[256];        // DistanceHigh: the upper 6 bits
    uint8_t codeLength[256];  // DistanceCodeLength: 3..8
};
// Fills the tables at run time: the stub carries the code that makes them
// rather than their 512 bytes.
void BuildDistanceTables(DistanceTables& tables);

}  // namespace lzh
