#include "tests/win32/setup_builder.h"

#include <cstdio>

#include "archive/catalog_file.h"
#include "lzh/encoder.h"
#include "pack/catalog_writer.h"

namespace {
std::string gPath, gOffset;
}

std::string WriteTestArchive(const std::string& path, const std::vector<TestEntry>& entries,
                             const std::string& configuration) {
    std::vector<CatalogRecord> records;
    std::vector<uint8_t> data;
    auto add = [&](const std::string& name, const std::string& content, int attributes, double date,
                   std::optional<int32_t> size) {
        auto packed = lzh::Compress(reinterpret_cast<const uint8_t*>(content.data()), content.size(), lzh::kDefault);
        records.push_back({name, size.value_or(static_cast<int32_t>(content.size())),
                           static_cast<int32_t>(packed.size()), static_cast<int32_t>(data.size()), attributes, date});
        data.insert(data.end(), packed.begin(), packed.end());
    };
    for (const TestEntry& e : entries) add(e.name, e.content, e.attributes, e.date, e.storedSize);
    add("setup.ini", configuration, 32, 36273, std::nullopt);
    std::vector<uint8_t> file(64, 'M');
    std::vector<uint8_t> catalog = WriteCatalog(records);
    file.insert(file.end(), catalog.begin(), catalog.end());
    file.insert(file.end(), data.begin(), data.end());
    FILE* out = fopen(path.c_str(), "wb");
    fwrite(file.data(), 1, file.size(), out);
    fclose(out);
    return "64";
}

void UseTestArchive(const std::string& path, const std::string& offsetText) {
    gPath = path;
    gOffset = offsetText;
}

bool ReadTestCatalog() { return ReadCatalogFile(Text(gOffset.c_str()), Text(gPath.c_str())); }
