// The resource section of a launcher image, read as a tree and written back
// whole, so that the builder can give a setup its icon, version information
// and manifest on any machine. The section may grow or shrink: the sections
// after it (only the base relocations may follow) move along, and the
// headers are brought up to date, the checksum included.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A resource type or name: a number, or a name in UTF-16.
struct ResourceId {
    uint16_t number = 0;
    std::u16string name;  // used when not empty

    bool operator<(const ResourceId& other) const;
    bool operator==(const ResourceId& other) const { return number == other.number && name == other.name; }
};

struct ResourceKey {
    ResourceId type, name;
    uint16_t language = 0;
    bool operator<(const ResourceKey& other) const;
    bool operator==(const ResourceKey& other) const {
        return type == other.type && name == other.name && language == other.language;
    }
};

using ResourceTree = std::map<ResourceKey, std::vector<uint8_t>>;

constexpr uint16_t kResourceIcon = 3;
constexpr uint16_t kResourceGroupIcon = 14;
constexpr uint16_t kResourceVersion = 16;
constexpr uint16_t kResourceManifest = 24;

// Throws std::runtime_error when the image or its resources are damaged.
ResourceTree ReadResources(const std::vector<uint8_t>& image);

// Writes `resources` as the image's resource section. Refuses (throws) an
// image it can't edit safely: a signed one, one whose resource section is
// followed by a section other than the base relocations, or one with bytes
// after its last section.
void ReplaceResources(std::vector<uint8_t>* image, const ResourceTree& resources);

// The PE checksum: 16-bit words summed with their carries folded back, then
// the length; fed in pieces, so that it can cover a setup as it is written.
class PeChecksum {
public:
    void Add(const uint8_t* bytes, size_t count);
    uint32_t Finish() const;

private:
    uint64_t sum_ = 0;
    uint64_t length_ = 0;
};

// Where an image keeps its checksum.
size_t ChecksumOffset(const std::vector<uint8_t>& image);
