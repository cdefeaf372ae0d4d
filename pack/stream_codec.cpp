#include "pack/stream_codec.h"

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
    DecodeStream(lzh::ReadFromMemory(stream.data(), stream.size()), lzh::AppendTo(output));
}
