// The appended archive: a catalog of tagged values, then the data area.
// Shared by the reader and by the builder that writes catalogs.
#pragma once
#include <cstdint>

enum CatalogTag : uint8_t {
    kTagEnd = 0,
    kTagStart = 1,
    kTagInt8 = 2,
    kTagInt16 = 3,
    kTagInt32 = 4,
    kTagExtended = 5,
    kTagShortText = 6,
    kTagLongText = 12,
};

// The 10-byte x87 extended value: significand (explicit integer bit) then
// the sign-and-exponent word, little-endian.
static constexpr int kExtendedSize = 10;
double ExtendedToDouble(const uint8_t bytes[kExtendedSize]);
void DoubleToExtended(double value, uint8_t bytes[kExtendedSize]);
