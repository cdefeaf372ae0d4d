// The shipped decoder for the tools: on whole buffers, and streaming.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzh/encoder.h"

// Decodes one stream pulled from `read` into `write`, one block of the
// largest size at a time.
void DecodeStream(const lzh::ReadInput& read, const lzh::WriteOutput& write);

// Decodes into `output`, replacing its bytes; its capacity is kept, so a
// caller that decodes again and again writes into memory already touched.
void DecodeStreamInto(const std::vector<uint8_t>& stream, std::vector<uint8_t>* output);
