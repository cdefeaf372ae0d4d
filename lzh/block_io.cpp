#include "lzh/block_io.h"

namespace lzh {

BlockSlots gBlockSlots;

static uint16_t ClampBufferSize(uint16_t size) {
    return size < MinBufferSize ? MinBufferSize : size > MaxBufferSize ? MaxBufferSize : size;
}

void SetInputBufferSize(uint16_t size) { gBlockSlots.InputBufferSize = ClampBufferSize(size); }
void SetOutputBufferSize(uint16_t size) { gBlockSlots.OutputBufferSize = ClampBufferSize(size); }

}  // namespace lzh
