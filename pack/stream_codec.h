// The codec on whole buffers, for the tools.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes one stream with the shipped decoder; `expectedSize` reserves the
// output when it is known.
std::vector<uint8_t> DecodeStream(const std::vector<uint8_t>& stream, size_t expectedSize = 0);

// Decodes into `output`, replacing its bytes; its capacity is kept, so a
// caller that decodes again and again writes into memory already touched.
void DecodeStreamInto(const std::vector<uint8_t>& stream, std::vector<uint8_t>* output);
