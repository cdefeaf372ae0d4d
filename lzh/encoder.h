// Writes the compressed stream. Not part of the launcher: the builder and
// the tools use it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lzh {

// How hard the match finder looks and how the parse is chosen.
struct EncoderSettings {
    int chainLimit;   // hash chain entries visited per position
    enum Parse { Greedy, Lazy, Priced } parse;
};

constexpr EncoderSettings kFast = {8, EncoderSettings::Greedy};
constexpr EncoderSettings kDefault = {48, EncoderSettings::Lazy};
// Prices every choice with the code lengths of the adaptive tree as it
// stands, over the whole window.
constexpr EncoderSettings kBest = {4096, EncoderSettings::Priced};

// Places up to `wanted` next input bytes in `buffer`; returns how many (0
// only at the end).
using ReadInput = std::function<size_t(uint8_t* buffer, size_t wanted)>;
// Takes the next `count` bytes of the stream.
using WriteOutput = std::function<void(const uint8_t* bytes, size_t count)>;

// The two ends in memory: `size` bytes at `data` read in order, and bytes
// appended to `out`. Both must outlive the function returned.
ReadInput ReadFromMemory(const uint8_t* data, size_t size);
WriteOutput AppendTo(std::vector<uint8_t>* out);

// Compresses `size` bytes pulled from `read`, pushing the stream to `write`,
// in memory that does not grow with the size. The stream decodes to exactly
// these bytes both with a reader that refills at 8 bits and with one that
// refills only below 8: it never ends on a byte boundary while the root's
// bit-1 child is a leaf. Throws std::runtime_error when `read` ends early.
void CompressStream(uint64_t size, const ReadInput& read, const WriteOutput& write, const EncoderSettings& settings);

// The same on a buffer.
std::vector<uint8_t> Compress(const uint8_t* data, size_t size, const EncoderSettings& settings);

}  // namespace lzh
