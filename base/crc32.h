// CRC-32 of the content of archive entries (the polynomial of zip and PNG,
// reflected, starting and ending inverted). The builder stores it and the
// launcher checks it while it writes, so both take it from here.
#pragma once
#include <cstddef>
#include <cstdint>

// Continues `crc` (0 for the first bytes) over `count` bytes.
uint32_t UpdateCrc32(uint32_t crc, const uint8_t* bytes, size_t count);
