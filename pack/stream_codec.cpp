#include "pack/stream_codec.h"

#include <cstring>

#include "lzh/block_io.h"

namespace {

struct MemoryStreams {
    const std::vector<uint8_t>* input;
    size_t next;
    std::vector<uint8_t>* output;
} gStreams;

void ReadFromMemory(uint8_t* buffer, uint16_t count, uint16_t* actual) {
    size_t left = gStreams.input->size() - gStreams.next;
    size_t n = count < left ? count : left;
    memcpy(buffer, gStreams.input->data() + gStreams.next, n);
    gStreams.next += n;
    *actual = static_cast<uint16_t>(n);
}

void WriteToMemory(const uint8_t* buffer, uint16_t count, uint16_t* written) {
    gStreams.output->insert(gStreams.output->end(), buffer, buffer + count);
    *written = count;
}

}  // namespace

void DecodeStreamInto(const std::vector<uint8_t>& stream, std::vector<uint8_t>* output) {
    output->clear();
    gStreams = {&stream, 0, output};
    lzh::gBlockSlots.ReadBlock = ReadFromMemory;
    lzh::gBlockSlots.WriteBlock = WriteToMemory;
    lzh::SetInputBufferSize(lzh::MaxBufferSize);
    lzh::SetOutputBufferSize(lzh::MaxBufferSize);
    lzh::Decompress();
}

std::vector<uint8_t> DecodeStream(const std::vector<uint8_t>& stream, size_t expectedSize) {
    std::vector<uint8_t> output;
    output.reserve(expectedSize);
    DecodeStreamInto(stream, &output);
    return output;
}
