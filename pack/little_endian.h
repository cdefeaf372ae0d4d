// Little-endian fields of the Windows file formats the builder reads and
// writes (PE images, resources, icon files).
#pragma once
#include <cstdint>
#include <vector>

inline uint32_t ReadLe16(const uint8_t* p) { return p[0] | p[1] << 8; }
inline uint32_t ReadLe32(const uint8_t* p) { return ReadLe16(p) | ReadLe16(p + 2) << 16; }
inline void WriteLe16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
inline void WriteLe32(uint8_t* p, uint32_t value) {
    WriteLe16(p, value & 0xFFFF);
    WriteLe16(p + 2, value >> 16);
}
inline void AppendLe16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
    AppendLe16(out, value & 0xFFFF);
    AppendLe16(out, value >> 16);
}
