#include "pack/catalog_writer.h"

#include "archive/catalog_format.h"

static void AppendLittleEndian(std::vector<uint8_t>& out, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void WriteIntValue(std::vector<uint8_t>& out, int32_t value) {
    if (value >= -128 && value <= 127) {
        out.push_back(kTagInt8);
        AppendLittleEndian(out, static_cast<uint32_t>(value), 1);
    } else if (value >= -32768 && value <= 32767) {
        out.push_back(kTagInt16);
        AppendLittleEndian(out, static_cast<uint32_t>(value), 2);
    } else {
        out.push_back(kTagInt32);
        AppendLittleEndian(out, static_cast<uint32_t>(value), 4);
    }
}

void WriteTextValue(std::vector<uint8_t>& out, const std::string& text) {
    if (text.size() <= 255) {
        out.push_back(kTagShortText);
        out.push_back(static_cast<uint8_t>(text.size()));
    } else {
        out.push_back(kTagLongText);
        AppendLittleEndian(out, static_cast<uint32_t>(text.size()), 4);
    }
    out.insert(out.end(), text.begin(), text.end());
}

void WriteRealValue(std::vector<uint8_t>& out, double value) {
    uint8_t bytes[kExtendedSize];
    DoubleToExtended(value, bytes);
    out.push_back(kTagExtended);
    out.insert(out.end(), bytes, bytes + kExtendedSize);
}

void WriteCatalogEntry(std::vector<uint8_t>& out, const CatalogRecord& record) {
    WriteTextValue(out, record.name);
    WriteIntValue(out, record.size);
    WriteIntValue(out, record.packedSize);
    WriteIntValue(out, record.offset);
    WriteIntValue(out, record.attributes);
    WriteRealValue(out, record.date);
}

std::vector<uint8_t> WriteCatalog(const std::vector<CatalogRecord>& records) {
    std::vector<uint8_t> out{kTagStart};
    for (const CatalogRecord& record : records) WriteCatalogEntry(out, record);
    out.push_back(kTagEnd);
    return out;
}
