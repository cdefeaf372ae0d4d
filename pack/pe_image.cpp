#include "pack/pe_image.h"

#include "pack/little_endian.h"

namespace {

class ImageView {
public:
    ImageView(const uint8_t* image, size_t size) : image_(image), size_(size) {}

    bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
    uint32_t U16(size_t offset) const { return ReadLe16(image_ + offset); }
    uint32_t U32(size_t offset) const { return ReadLe32(image_ + offset); }

private:
    const uint8_t* image_;
    size_t size_;
};

constexpr uint32_t kResourceTypeString = 6;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;

// Finds the entry with integer name `id` (or the first entry when `id` is
// negative) in the resource directory at `directory`; returns its offset
// field.
bool FindDirectoryEntry(const ImageView& view, size_t base, size_t directory, size_t limit, long id,
                        uint32_t* target) {
    if (!view.Has(base + directory, 16) || base + directory + 16 > limit) return false;
    size_t named = view.U16(base + directory + 12);
    size_t total = named + view.U16(base + directory + 14);
    for (size_t i = 0; i < total; ++i) {
        size_t entry = base + directory + 16 + i * 8;
        if (!view.Has(entry, 8) || entry + 8 > limit) return false;
        uint32_t name = view.U32(entry);
        if (id < 0 || (i >= named && name == static_cast<uint32_t>(id))) {
            *target = view.U32(entry + 4);
            return true;
        }
    }
    return false;
}

}  // namespace

bool FindStringResource(const uint8_t* image, size_t size, uint16_t id, StringResourceSlot* slot) {
    ImageView view(image, size);
    if (!view.Has(0, 0x40) || image[0] != 'M' || image[1] != 'Z') return false;
    size_t pe = view.U32(0x3C);
    if (!view.Has(pe, 24) || view.U32(pe) != 0x00004550u) return false;
    size_t sectionCount = view.U16(pe + 6);
    size_t optionalSize = view.U16(pe + 20);
    size_t optional = pe + 24;
    if (!view.Has(optional, optionalSize) || optionalSize < 2) return false;
    uint32_t magic = view.U16(optional);
    size_t directories = magic == 0x10b ? 96 : magic == 0x20b ? 112 : 0;
    if (directories == 0 || optionalSize < directories + 3 * 8) return false;
    if (view.U32(optional + directories - 4) < 3) return false;
    uint32_t resourceRva = view.U32(optional + directories + 2 * 8);
    if (resourceRva == 0) return false;

    // The section holding the resources gives the RVA-to-offset mapping.
    size_t sections = optional + optionalSize;
    size_t base = 0, limit = 0;
    uint32_t sectionRva = 0;
    bool found = false;
    for (size_t i = 0; i < sectionCount && !found; ++i) {
        size_t header = sections + i * 40;
        if (!view.Has(header, 40)) return false;
        uint32_t rva = view.U32(header + 12), rawSize = view.U32(header + 16), raw = view.U32(header + 20);
        if (resourceRva >= rva && resourceRva - rva < rawSize && view.Has(raw, rawSize)) {
            sectionRva = rva;
            base = raw + (resourceRva - rva);
            limit = raw + rawSize;
            found = true;
        }
    }
    if (!found) return false;

    // Type, then name (the block of 16 strings), then the first language.
    uint32_t offset;
    if (!FindDirectoryEntry(view, base, 0, limit, kResourceTypeString, &offset) || !(offset & kSubdirectoryFlag))
        return false;
    if (!FindDirectoryEntry(view, base, offset & ~kSubdirectoryFlag, limit, id / 16 + 1, &offset) ||
        !(offset & kSubdirectoryFlag))
        return false;
    if (!FindDirectoryEntry(view, base, offset & ~kSubdirectoryFlag, limit, -1, &offset) ||
        (offset & kSubdirectoryFlag))
        return false;
    if (!view.Has(base + offset, 16) || base + offset + 16 > limit) return false;
    uint32_t dataRva = view.U32(base + offset), dataSize = view.U32(base + offset + 4);
    if (dataRva < sectionRva) return false;
    size_t data = base - (resourceRva - sectionRva) + (dataRva - sectionRva);
    if (!view.Has(data, dataSize) || data + dataSize > limit) return false;

    size_t position = data, end = data + dataSize;
    for (unsigned index = 0; index <= id % 16u; ++index) {
        if (position + 2 > end) return false;
        size_t length = view.U16(position);
        if (length * 2 > end - position - 2) return false;
        if (index == id % 16u) {
            slot->offset = position + 2;
            slot->length = length;
            return true;
        }
        position += 2 + length * 2;
    }
    return false;
}

bool ReadAsciiString(const uint8_t* image, const StringResourceSlot& slot, char* out, size_t outSize) {
    if (slot.length + 1 > outSize) return false;
    for (size_t i = 0; i < slot.length; ++i) {
        const uint8_t* c = image + slot.offset + 2 * i;
        if (c[1] != 0 || c[0] >= 0x80) return false;
        out[i] = static_cast<char>(c[0]);
    }
    out[slot.length] = 0;
    return true;
}

bool WriteDecimalString(uint8_t* image, const StringResourceSlot& slot, uint64_t value) {
    for (size_t i = slot.length; i > 0; --i, value /= 10) {
        uint8_t* c = image + slot.offset + 2 * (i - 1);
        c[0] = static_cast<uint8_t>('0' + value % 10);
        c[1] = 0;
    }
    return value == 0;
}
