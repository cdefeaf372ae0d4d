// The decoder knows nothing of files: it pulls compressed bytes through a
// read procedure and pushes decoded bytes through a write procedure, both
// installed by the program, one buffered block at a time.
#pragma once
#include <cstdint>

namespace lzh {

// Places up to `count` next bytes of the stream at the start of `buffer` and
// stores how many in `actual`; 0 means no more input (and must stay 0).
using TReadBlockProc = void (*)(uint8_t* buffer, uint16_t count, uint16_t* actual);
// Takes `count` decoded bytes (possibly 0); `written` is not looked at.
using TWriteBlockProc = void (*)(const uint8_t* buffer, uint16_t count, uint16_t* written);

struct BlockSlots {
    TReadBlockProc ReadBlock;
    TWriteBlockProc WriteBlock;
    // 0 until set, which Decompress takes as DefaultBufferSize: process-wide
    // state starts as zero bytes, which cost the stub no file space.
    uint16_t InputBufferSize;
    uint16_t OutputBufferSize;
};
extern BlockSlots gBlockSlots;

constexpr uint16_t MinBufferSize = 16;
constexpr uint16_t MaxBufferSize = 32768;
constexpr uint16_t DefaultBufferSize = 1024;

// Both clamp to 16..32768; the sizes take effect at the next Decompress.
void SetInputBufferSize(uint16_t size);
void SetOutputBufferSize(uint16_t size);

// Decodes one stream from ReadBlock to WriteBlock. The final WriteBlock call
// passes the rest of the output, also when it is empty.
void Decompress();

}  // namespace lzh
