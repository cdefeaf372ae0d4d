// Writes the compressed stream. Not part of the launcher: the builder and
// the tools use it.
#pragma once
#include <cstddef>
#include <cstdint>
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

// Compresses `size` bytes. The stream decodes to exactly these bytes both
// with a reader that refills at 8 bits and with one that refills only below
// 8: it never ends on a byte boundary while the root's bit-1 child is a leaf.
std::vector<uint8_t> Compress(const uint8_t* data, size_t size, const EncoderSettings& settings);

}  // namespace lzh
