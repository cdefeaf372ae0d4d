// The codec on whole buffers, for the tools.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes one stream with the shipped decoder; `expectedSize` reserves the
// output when it is known.
std::vector<uint8_t> DecodeStream(const std::vector<uint8_t>& stream, size_t expectedSize = 0);
