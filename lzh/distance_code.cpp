#include "lzh/lzh_format.h"

namespace lzh {

namespace {

// Code length by ranges of the upper 6 bits: 1 value of 3 bits, 3 of 4, 8 of
// 5, 12 of 6, 24 of 7, 16 of 8.
constexpr uint8_t kRangeEnd[] = {1, 4, 12, 24, 48, 64};

}  // namespace

DistanceCode DistanceCodeFor(unsigned upper) {
    unsigned code = 0, length = 3, value = 0;
    for (int range = 0; range < 6; ++range, ++length, code <<= 1) {
        for (; value < kRangeEnd[range]; ++value, ++code) {
            if (value == upper) return {static_cast<uint8_t>(length), static_cast<uint8_t>(code)};
        }
    }
    return {0, 0};
}

// Codes run on across the ranges, so the 8-bit prefixes of the values come
// in ascending order and fill the tables from the first byte to the last.
void BuildDistanceTables(DistanceTables& tables) {
    unsigned b = 0, upper = 0;
    for (unsigned length = 3; length <= 8; ++length) {
        for (; upper < kRangeEnd[length - 3]; ++upper) {
            for (unsigned k = 0; k < 1u << (8 - length); ++k, ++b) {
                tables.high[b] = static_cast<uint8_t>(upper);
                tables.codeLength[b] = static_cast<uint8_t>(length);
            }
        }
    }
}

}  // namespace lzh
