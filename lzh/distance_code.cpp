#include "lzh/lzh_format.h"

namespace lzh {

namespace {

// Code length by ranges of the upper 6 bits: 1 value of 3 bits, 3 of 4, 8 of
// 5, 12 of 6, 24 of 7, 16 of 8.
constexpr uint8_t kRangeEnd[] = {1, 4, 12, 24, 48, 64};

constexpr DistanceCode Compute(unsigned upper) {
    unsigned code = 0, length = 3, value = 0;
    for (int range = 0; range < 6; ++range, ++length, code <<= 1) {
        for (; value < kRangeEnd[range]; ++value, ++code) {
            if (value == upper) return {static_cast<uint8_t>(length), static_cast<uint8_t>(code)};
        }
    }
    return {0, 0};
}

constexpr DistanceTables BuildTables() {
    DistanceTables tables{};
    for (unsigned upper = 0; upper < 64; ++upper) {
        DistanceCode c = Compute(upper);
        unsigned first = c.code << (8 - c.length), count = 1u << (8 - c.length);
        for (unsigned b = first; b < first + count; ++b) {
            tables.high[b] = static_cast<uint8_t>(upper);
            tables.codeLength[b] = c.length;
        }
    }
    return tables;
}

}  // namespace

constexpr DistanceTables kBuiltTables = BuildTables();
const DistanceTables kDistanceTables = kBuiltTables;

DistanceCode DistanceCodeFor(unsigned upper) { return Compute(upper); }

}  // namespace lzh
