#include "archive/catalog_reader.h"

#include "archive/catalog_format.h"
#include "archive/entry_list.h"

ArchiveLocation gArchive;

namespace {

// Each helper returns false for anything the grammar does not allow at its
// point, so the walk gives up at the first fault.
class CatalogReader {
public:
    explicit CatalogReader(CatalogSource& source) : source_(source) {}

    bool ReadTagByte(uint8_t* tag) { return source_.Read(tag, 1); }

    bool ExpectTag(uint8_t wanted) {
        uint8_t tag;
        return ReadTagByte(&tag) && tag == wanted;
    }

    // Looks at the next byte without consuming it.
    bool AtEndTag(bool* atEnd) {
        uint8_t tag;
        if (!ReadTagByte(&tag) || !source_.Seek(source_.Position() - 1)) return false;
        *atEnd = tag == kTagEnd;
        return true;
    }

    bool ReadIntValue(int32_t* value) {
        uint8_t tag;
        if (!ReadTagByte(&tag)) return false;
        return ReadIntAfterTag(tag, value);
    }

    bool ReadRealValue(double* value) {
        uint8_t tag;
        if (!ReadTagByte(&tag)) return false;
        if (tag == kTagExtended) {
            uint8_t bytes[kExtendedSize];
            if (!source_.Read(bytes, kExtendedSize)) return false;
            *value = ExtendedToDouble(bytes);
            return true;
        }
        int32_t whole;
        if (!ReadIntAfterTag(tag, &whole)) return false;
        *value = whole;
        return true;
    }

    bool ReadTextValue(Text* text) {
        uint8_t tag;
        if (!ReadTagByte(&tag)) return false;
        uint32_t length;
        if (tag == kTagShortText) {
            uint8_t shortLength;
            if (!source_.Read(&shortLength, 1)) return false;
            length = shortLength;
        } else if (tag == kTagLongText) {
            uint8_t bytes[4];
            if (!source_.Read(bytes, 4)) return false;
            length = LittleEndian(bytes, 4);
        } else {
            return false;
        }
        // A length beyond the end of the file can't be real: refuse it before
        // allocating anything for it.
        uint64_t position = source_.Position(), size = source_.Size();
        if (position > size || length > size - position) return false;
        return text->TryResize(length) && source_.Read(text->Data(), length);
    }

private:
    static uint32_t LittleEndian(const uint8_t* bytes, int count) {
        uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
        return value;
    }

    bool ReadIntAfterTag(uint8_t tag, int32_t* value) {
        uint8_t bytes[4];
        switch (tag) {
            case kTagInt8:
                if (!source_.Read(bytes, 1)) return false;
                *value = static_cast<int8_t>(bytes[0]);
                return true;
            case kTagInt16:
                if (!source_.Read(bytes, 2)) return false;
                *value = static_cast<int16_t>(LittleEndian(bytes, 2));
                return true;
            case kTagInt32:
                if (!source_.Read(bytes, 4)) return false;
                *value = static_cast<int32_t>(LittleEndian(bytes, 4));
                return true;
            default:
                return false;
        }
    }

    CatalogSource& source_;
};

}  // namespace

bool WalkCatalog(CatalogSource& source, int32_t archiveOffset, int32_t* dataAreaStart) {
    CatalogReader reader(source);
    if (!source.Seek(archiveOffset < 0 ? 0 : static_cast<uint64_t>(archiveOffset))) return false;
    if (!reader.ExpectTag(kTagStart)) return false;
    for (;;) {
        bool atEnd;
        if (!reader.AtEndTag(&atEnd)) return false;
        if (atEnd) break;
        CatalogEntry entry;
        if (!reader.ReadTextValue(&entry.name) || !reader.ReadIntValue(&entry.size) ||
            !reader.ReadIntValue(&entry.packedSize) || !reader.ReadIntValue(&entry.offset) ||
            !reader.ReadIntValue(&entry.attributes) || !reader.ReadRealValue(&entry.date)) {
            return false;
        }
        AddEntry(FormatEntryLine(entry));
    }
    if (!reader.ExpectTag(kTagEnd)) return false;
    uint64_t end = source.Position();
    if (end > INT32_MAX) return false;
    *dataAreaStart = static_cast<int32_t>(end);
    return true;
}
