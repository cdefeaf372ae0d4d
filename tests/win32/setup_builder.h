// Archives for the Win32 tests, written in the real format: a stand-in
// image, the catalog and the compressed data, with the configuration last.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TestEntry {
    std::string name;
    std::string content;
    int attributes = 32;
    double date = 36273.7614583333;
    std::optional<int32_t> storedSize = std::nullopt;  // what the catalog claims, when not the content's size
};

// Writes the archive to `path`; returns the offset text string resource 1
// would hold.
std::string WriteTestArchive(const std::string& path, const std::vector<TestEntry>& entries,
                             const std::string& configuration);

// Points the catalog reader of ExtractArchive at an archive file.
void UseTestArchive(const std::string& path, const std::string& offsetText);
bool ReadTestCatalog();
