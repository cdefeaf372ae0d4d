// The encoder on any input: its stream must give the input back with the
// shipped decoder and with the reader that lacks the end guard.
#include <cstdint>
#include <cstring>
#include <vector>

#include "lzh/block_io.h"
#include "lzh/encoder.h"
#include "tests/native/lzh_harness.h"
#include "tests/native/reference_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const lzh::EncoderSettings levels[] = {lzh::kFast, lzh::kDefault, lzh::kBest};
    std::vector<uint8_t> input(data + 1, data + size);
    std::vector<uint8_t> stream = lzh::Compress(input.data(), input.size(), levels[data[0] % 3]);
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(4096);
    if (DecodeThroughSlots(stream).output != input) __builtin_trap();
    if (ReferenceDecode(stream, false) != input) __builtin_trap();
    return 0;
}
