// The builder's readers of launcher images on any bytes: the string lookup
// must stay inside the image; the resource tree either fails cleanly or
// reads back unchanged after being written; an icon either fails cleanly or
// gives resources that are written and read back the same.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "pack/pe_image.h"
#include "pack/pe_resources.h"
#include "pack/setup_face.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StringResourceSlot slot;
    if (FindStringResource(data, size, kArchiveOffsetString, &slot)) {
        if (slot.offset > size || slot.length * 2 > size - slot.offset) __builtin_trap();
        char text[64];
        ReadAsciiString(data, slot, text, sizeof text);
    }
    std::vector<uint8_t> image(data, data + size);
    ResourceTree tree;
    try {
        tree = ReadResources(image);
    } catch (const std::runtime_error&) {
        return 0;
    }
    try {
        // The bytes as an icon file too.
        AddIcon(&tree, image);
    } catch (const std::runtime_error&) {
    }
    try {
        ReplaceResources(&image, tree);
    } catch (const std::runtime_error&) {
        return 0;
    }
    if (ReadResources(image) != tree) __builtin_trap();
    return 0;
}
