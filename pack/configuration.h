// The configuration entry: a profile file with the section
// "VOLQ Configuration" naming the program to run and four options, and the
// builder's own section with the content checksums.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SetupConfiguration {
    std::string executable;  // relative to the extraction folder
    std::string parameters;
    bool useDirs = true;
    bool overWrite = true;
    bool attributes = true;
    bool fileDate = true;
    // CRC-32 of every other entry's content, in catalog order. Without
    // them only sizes can be checked.
    bool hasChecksums = false;
    std::vector<std::optional<uint32_t>> checksums;
};

// The stored name of the configuration entry, always the catalog's last.
constexpr const char kConfigurationName[] = "sfxsetup.ini";

std::string WriteConfiguration(const SetupConfiguration& configuration);
// Reads it back as the launcher's profile reader does: section and keys
// without regard to case, missing keys empty, an option off only for "0".
// The checksums are there when the builder's section says how many it
// holds; one that is missing or not a number reads as std::nullopt.
SetupConfiguration ReadConfiguration(const std::string& text);
