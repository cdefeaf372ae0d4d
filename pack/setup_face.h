// What a customer sees of a setup before running it: its icon, its version
// information and its manifest, written into the stub's resources by the
// builder. The stub's own resources stay as they are.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pack/pe_resources.h"

struct SetupFace {
    std::string icon;  // path of an .ico file; empty: none
    // KEY=VALUE pairs: FileVersion, ProductVersion, ProductName, CompanyName,
    // FileDescription, LegalCopyright, OriginalFilename. None: no version
    // information at all.
    std::vector<std::pair<std::string, std::string>> versionInfo;
    // "none", "as-invoker", "require-admin" or "highest-available".
    std::string manifest = "none";
    std::string outputName;  // file name of the setup, for the defaults
};

// The keys --version-info accepts.
bool IsVersionKey(const std::string& key);
// Whether a manifest level is one of the four.
bool IsManifestLevel(const std::string& level);

// Edits the stub's resources for `face` and returns true; leaves the stub
// untouched and returns false when it asks for nothing. The edited stub's
// checksum is left for the builder to compute over the whole setup. Throws
// std::runtime_error with the reason for a bad .ico file, a bad version
// number or a stub that can't be edited.
bool DressStub(std::vector<uint8_t>* stub, const SetupFace& face);

// The resources an .ico file's bytes give: one RT_ICON per image, ids from
// 1, and the RT_GROUP_ICON that lists them. Throws for a damaged file.
void AddIcon(ResourceTree* tree, const std::vector<uint8_t>& ico);

// What `list` shows of a setup's face.
struct FaceSummary {
    std::vector<std::string> iconSizes;  // "32x32, 32 bits"
    std::vector<std::pair<std::string, std::string>> versionStrings;
    std::string manifestLevel;  // empty: no manifest
};
FaceSummary ReadFace(const std::vector<uint8_t>& image);
