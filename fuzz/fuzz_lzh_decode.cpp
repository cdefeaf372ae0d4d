// The decoder on any stream and any pattern of read sizes: it must end, stay
// in bounds, and give exactly the bytes of the plain decoder.
#include <cstdint>
#include <cstring>
#include <vector>

#include "lzh/block_io.h"
#include "tests/native/reference_decoder.h"

namespace {

const uint8_t* gStream;
size_t gSize, gNext;
uint32_t gChunkState;
std::vector<uint8_t> gOutput;

void Read(uint8_t* buffer, uint16_t count, uint16_t* actual) {
    gChunkState = gChunkState * 1103515245u + 12345u;
    size_t n = gSize - gNext < count ? gSize - gNext : count;
    if (n > 1 && (gChunkState >> 30)) n = 1 + (gChunkState >> 8) % n;
    memcpy(buffer, gStream + gNext, n);
    gNext += n;
    *actual = static_cast<uint16_t>(n);
}

void Write(const uint8_t* buffer, uint16_t count, uint16_t* written) {
    gOutput.insert(gOutput.end(), buffer, buffer + count);
    *written = count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first three bytes choose the buffer sizes and the read pattern.
    if (size < 3) return 0;
    lzh::SetInputBufferSize(static_cast<uint16_t>(data[0] * 37));
    lzh::SetOutputBufferSize(static_cast<uint16_t>(data[1] * 29));
    gChunkState = data[2];
    gStream = data + 3;
    gSize = size - 3;
    gNext = 0;
    gOutput.clear();
    lzh::gBlockSlots.ReadBlock = Read;
    lzh::gBlockSlots.WriteBlock = Write;
    lzh::Decompress();
    std::vector<uint8_t> expected = ReferenceDecode(std::vector<uint8_t>(gStream, gStream + gSize), true);
    if (gOutput != expected) __builtin_trap();
    return 0;
}
