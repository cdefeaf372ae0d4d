// The stub's resource lookup on any bytes: it must stay inside the image.
#include <cstdint>

#include "pack/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StringResourceSlot slot;
    if (FindStringResource(data, size, kArchiveOffsetString, &slot)) {
        if (slot.offset > size || slot.length * 2 > size - slot.offset) __builtin_trap();
        char text[64];
        ReadAsciiString(data, slot, text, sizeof text);
    }
    return 0;
}
