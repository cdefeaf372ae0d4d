// Writes the catalog's tagged value stream, picking the smallest integer
// tag that holds each value.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CatalogRecord {
    std::string name;  // stored name, ANSI bytes
    int32_t size = 0;
    int32_t packedSize = 0;
    int32_t offset = 0;
    int32_t attributes = 0;
    double date = 0;
};

void WriteIntValue(std::vector<uint8_t>& out, int32_t value);
void WriteTextValue(std::vector<uint8_t>& out, const std::string& text);
void WriteRealValue(std::vector<uint8_t>& out, double value);
void WriteCatalogEntry(std::vector<uint8_t>& out, const CatalogRecord& record);
// Start tag, the entries, end tag.
std::vector<uint8_t> WriteCatalog(const std::vector<CatalogRecord>& records);
