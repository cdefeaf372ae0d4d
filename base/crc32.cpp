#include "base/crc32.h"

namespace {

// Built on first use rather than stored: the stub carries 1 KiB less, and
// the table lands in memory that costs the file nothing.
struct Crc32Table {
    uint32_t entries[256];
    bool built;
};
Crc32Table gCrc32Table;

void BuildCrc32Table() {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
        gCrc32Table.entries[n] = c;
    }
    gCrc32Table.built = true;
}

}  // namespace

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* bytes, size_t count) {
    if (!gCrc32Table.built) BuildCrc32Table();
    crc = ~crc;
    for (size_t i = 0; i < count; ++i) crc = gCrc32Table.entries[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
