#include "pack/stream_codec.h"

#include <algorithm>
#include <cstring>

#include "lzh/block_io.h"

namespace {

// The decoder's slots take plain functions: the stream's ends stay here
// while it runs.
struct StreamEnds {
    const lzh::ReadInput* read;
    const lzh::WriteOutput* write;
} gEnds;

void ReadFromEnd(uint8_t* buffer, uint16_t count, uint16_t* actual) {
    *actual = static_cast<uint16_t>((*gEnds.read)(buffer, count));
}

void WriteToEnd(const uint8_t* buffer, uint16_t count, uint16_t* written) {
    (*gEnds.write)(buffer, count);
    *written = count;
}

}  // namespace

void DecodeStream(const lzh::ReadInput& read, const lzh::WriteOutput& write) {
    gEnds = {&read, &write};
    lzh::gBlockSlots.ReadBlock = ReadFromEnd;
    lzh::gBlockSlots.WriteBlock = WriteToEnd;
    lzh::SetInputBufferSize(lzh::MaxBufferSize);
    lzh::SetOutputBufferSize(lzh::MaxBufferSize);
    lzh::Decompress();
}

void DecodeStreamInto(const std::vector<uint8_t>& stream, std::vector<uint8_t>* output) {
    output->clear();
    size_t next = 0;
    lzh::ReadInput read = [&](uint8_t* buffer, size_t wanted) {
        size_t n = std::min(wanted, stream.size() - next);
        memcpy(buffer, stream.data() + next, n);
        next += n;
        return n;
    };
    lzh::WriteOutput write = [&](const uint8_t* bytes, size_t count) { output->insert(output->end(), bytes, bytes + count); };
    DecodeStream(read, write);
}

std::vector<uint8_t> DecodeStream(const std::vector<uint8_t>& stream, size_t expectedSize) {
    std::vector<uint8_t> output;
    output.reserve(expectedSize);
    DecodeStreamInto(stream, &output);
    return output;
}
