#include "pack/pe_resources.h"

#include <algorithm>
#include <stdexcept>

#include "pack/little_endian.h"

namespace {

constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr size_t kSectionHeaderSize = 40;
constexpr int kResourceDirectory = 2, kCertificateDirectory = 4, kRelocationDirectory = 5;

std::runtime_error Damaged(const std::string& what) { return std::runtime_error("the image's " + what); }

uint32_t AlignUp(uint32_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

class Bytes {
public:
    explicit Bytes(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    void Need(size_t offset, size_t count, const char* what) const {
        if (offset > bytes_.size() || count > bytes_.size() - offset) throw Damaged(what);
    }
    uint32_t U16(size_t offset) const {
        Need(offset, 2, "headers are cut short");
        return ReadLe16(bytes_.data() + offset);
    }
    uint32_t U32(size_t offset) const {
        Need(offset, 4, "headers are cut short");
        return ReadLe32(bytes_.data() + offset);
    }

private:
    const std::vector<uint8_t>& bytes_;
};

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) { WriteLe16(out.data() + at, value); }
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) { WriteLe32(out.data() + at, value); }

// Where the headers are.
struct Layout {
    size_t optional, directories, sections;
    uint32_t sectionCount, directoryCount, sectionAlignment, fileAlignment;

    static Layout Of(const std::vector<uint8_t>& image) {
        Bytes b(image);
        if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') throw Damaged("DOS header is missing");
        size_t pe = b.U32(0x3C);
        if (b.U32(pe) != 0x00004550u) throw Damaged("PE signature is missing");
        Layout l;
        l.sectionCount = b.U16(pe + 6);
        size_t optionalSize = b.U16(pe + 20);
        l.optional = pe + 24;
        uint32_t magic = b.U16(l.optional);
        if (magic != 0x10b && magic != 0x20b) throw Damaged("optional header is of no known kind");
        l.directories = l.optional + (magic == 0x10b ? 96 : 112);
        l.directoryCount = b.U32(l.directories - 4);
        if (l.directoryCount <= kRelocationDirectory || l.directories + 8 * l.directoryCount > l.optional + optionalSize)
            throw Damaged("data directories are cut short");
        l.sections = l.optional + optionalSize;
        b.Need(l.sections, kSectionHeaderSize * l.sectionCount, "section table is cut short");
        l.sectionAlignment = b.U32(l.optional + 32);
        l.fileAlignment = b.U32(l.optional + 36);
        if (l.fileAlignment == 0 || l.sectionAlignment < l.fileAlignment) throw Damaged("alignments make no sense");
        return l;
    }
    size_t Directory(int index) const { return directories + 8 * index; }
    size_t Section(uint32_t index) const { return sections + kSectionHeaderSize * index; }
};

// The section whose virtual range holds `rva`.
uint32_t SectionHolding(const std::vector<uint8_t>& image, const Layout& l, uint32_t rva) {
    Bytes b(image);
    for (uint32_t i = 0; i < l.sectionCount; ++i) {
        uint32_t start = b.U32(l.Section(i) + 12), size = std::max(b.U32(l.Section(i) + 8), b.U32(l.Section(i) + 16));
        if (rva >= start && rva - start < size) return i;
    }
    throw Damaged("resource directory lies in no section");
}

class TreeReader {
public:
    TreeReader(const std::vector<uint8_t>& image, size_t base, size_t limit, uint32_t baseRva)
        : image_(image), b_(image), base_(base), limit_(limit), baseRva_(baseRva) {}

    void Read(ResourceTree* tree) {
        ForEach(0, [&](const ResourceId& type, uint32_t typeTarget) {
            if (!(typeTarget & kSubdirectory)) throw Damaged("resources are damaged (a type without names)");
            ForEach(typeTarget & ~kSubdirectory, [&](const ResourceId& name, uint32_t nameTarget) {
                if (!(nameTarget & kSubdirectory)) throw Damaged("resources are damaged (a name without languages)");
                ForEach(nameTarget & ~kSubdirectory, [&](const ResourceId& language, uint32_t dataEntry) {
                    if ((dataEntry & kSubdirectory) || !language.name.empty())
                        throw Damaged("resources are damaged (too deep)");
                    Need(dataEntry, 16);
                    uint32_t rva = b_.U32(base_ + dataEntry), size = b_.U32(base_ + dataEntry + 4);
                    if (rva < baseRva_) throw Damaged("resources are damaged (data before the section)");
                    Need(rva - baseRva_, size);
                    auto start = image_.begin() + static_cast<long>(base_ + (rva - baseRva_));
                    ResourceKey key{type, name, language.number};
                    (*tree)[key] = std::vector<uint8_t>(start, start + size);
                });
            });
        });
    }

private:
    void Need(size_t offset, size_t count) const {
        if (offset > limit_ - base_ || count > limit_ - base_ - offset) throw Damaged("resources are damaged (out of bounds)");
    }

    template <class Visit>
    void ForEach(uint32_t directory, Visit visit) {
        if (++depth_ > 3) throw Damaged("resources are damaged (too deep)");
        Need(directory, 16);
        uint32_t count = b_.U16(base_ + directory + 12) + b_.U16(base_ + directory + 14);
        Need(directory + 16, 8 * static_cast<size_t>(count));
        for (uint32_t i = 0; i < count; ++i) {
            size_t entry = base_ + directory + 16 + 8 * i;
            uint32_t name = b_.U32(entry), target = b_.U32(entry + 4);
            ResourceId id;
            if (name & kSubdirectory) {
                uint32_t at = name & ~kSubdirectory;
                Need(at, 2);
                uint32_t length = b_.U16(base_ + at);
                Need(at + 2, 2 * static_cast<size_t>(length));
                for (uint32_t k = 0; k < length; ++k) id.name += static_cast<char16_t>(b_.U16(base_ + at + 2 + 2 * k));
                if (id.name.empty()) throw Damaged("resources are damaged (an empty name)");
            } else {
                if (name > 0xFFFF) throw Damaged("resources are damaged (a number over 16 bits)");
                id.number = static_cast<uint16_t>(name);
            }
            visit(id, target);
        }
        --depth_;
    }

    const std::vector<uint8_t>& image_;
    Bytes b_;
    size_t base_, limit_;
    uint32_t baseRva_;
    int depth_ = 0;
};

// Writes the tree in the usual order: directories, then data entries, then
// names, then the data, each piece aligned.
class TreeWriter {
public:
    explicit TreeWriter(const ResourceTree& tree) : tree_(tree) {}

    std::vector<uint8_t> Write(uint32_t baseRva) {
        // Group the keys by type, then name.
        std::map<ResourceId, std::map<ResourceId, std::vector<const ResourceTree::value_type*>>> groups;
        for (const auto& item : tree_) groups[item.first.type][item.first.name].push_back(&item);

        // Sizes: every directory, then the data entries, then the names.
        size_t directories = Directory(groups.size());
        for (const auto& type : groups) {
            directories += Directory(type.second.size());
            for (const auto& name : type.second) directories += Directory(name.second.size());
        }
        size_t entries = directories, names = entries + 16 * tree_.size();
        std::map<std::u16string, uint32_t> nameAt;
        size_t namesEnd = names;
        auto noteName = [&](const ResourceId& id) {
            if (!id.name.empty() && !nameAt.count(id.name)) {
                nameAt[id.name] = static_cast<uint32_t>(namesEnd);
                namesEnd += 2 + 2 * id.name.size();
            }
        };
        for (const auto& type : groups) {
            noteName(type.first);
            for (const auto& name : type.second) noteName(name.first);
        }
        size_t data = AlignUp(static_cast<uint32_t>(namesEnd), 8);
        size_t total = data;
        for (const auto& item : tree_) total = AlignUp(static_cast<uint32_t>(total + item.second.size()), 8);
        out_.assign(total, 0);

        for (const auto& [name, at] : nameAt) {
            Put16(out_, at, static_cast<uint32_t>(name.size()));
            for (size_t k = 0; k < name.size(); ++k) Put16(out_, at + 2 + 2 * k, name[k]);
        }
        size_t nextDirectory = 0, nextEntry = entries, nextData = data;
        auto entryName = [&](const ResourceId& id) { return id.name.empty() ? id.number : kSubdirectory | nameAt[id.name]; };
        size_t root = Allocate(&nextDirectory, groups.size(), CountNamed(groups));
        size_t i = 0;
        for (const auto& type : groups) {
            size_t typeDirectory = Allocate(&nextDirectory, type.second.size(), CountNamed(type.second));
            SetEntry(root, i++, entryName(type.first), kSubdirectory | static_cast<uint32_t>(typeDirectory));
            size_t j = 0;
            for (const auto& name : type.second) {
                size_t languageDirectory = Allocate(&nextDirectory, name.second.size(), 0);
                SetEntry(typeDirectory, j++, entryName(name.first), kSubdirectory | static_cast<uint32_t>(languageDirectory));
                size_t k = 0;
                for (const auto* item : name.second) {
                    SetEntry(languageDirectory, k++, item->first.language, static_cast<uint32_t>(nextEntry));
                    Put32(out_, nextEntry, baseRva + static_cast<uint32_t>(nextData));
                    Put32(out_, nextEntry + 4, static_cast<uint32_t>(item->second.size()));
                    std::copy(item->second.begin(), item->second.end(), out_.begin() + static_cast<long>(nextData));
                    nextEntry += 16;
                    nextData = AlignUp(static_cast<uint32_t>(nextData + item->second.size()), 8);
                }
            }
        }
        return out_;
    }

private:
    static size_t Directory(size_t entries) { return 16 + 8 * entries; }

    template <class Map>
    static size_t CountNamed(const Map& map) {
        return std::count_if(map.begin(), map.end(), [](const auto& item) { return !item.first.name.empty(); });
    }

    size_t Allocate(size_t* next, size_t count, size_t named) {
        size_t at = *next;
        Put16(out_, at + 12, static_cast<uint32_t>(named));
        Put16(out_, at + 14, static_cast<uint32_t>(count - named));
        *next += Directory(count);
        return at;
    }

    void SetEntry(size_t directory, size_t index, uint32_t name, uint32_t target) {
        Put32(out_, directory + 16 + 8 * index, name);
        Put32(out_, directory + 20 + 8 * index, target);
    }

    const ResourceTree& tree_;
    std::vector<uint8_t> out_;
};

}  // namespace

// Names come before numbers; names in the order of their UTF-16 code units,
// numbers ascending: the order Windows searches in.
bool ResourceId::operator<(const ResourceId& other) const {
    if (name.empty() != other.name.empty()) return !name.empty();
    return name.empty() ? number < other.number : name < other.name;
}

bool ResourceKey::operator<(const ResourceKey& other) const {
    if (!(type == other.type)) return type < other.type;
    if (!(name == other.name)) return name < other.name;
    return language < other.language;
}

ResourceTree ReadResources(const std::vector<uint8_t>& image) {
    Layout l = Layout::Of(image);
    Bytes b(image);
    uint32_t rva = b.U32(l.Directory(kResourceDirectory));
    ResourceTree tree;
    if (rva == 0) return tree;
    uint32_t section = SectionHolding(image, l, rva);
    uint32_t sectionRva = b.U32(l.Section(section) + 12), raw = b.U32(l.Section(section) + 20);
    uint32_t rawSize = b.U32(l.Section(section) + 16);
    b.Need(raw, rawSize, "resource section is cut short");
    TreeReader(image, raw + (rva - sectionRva), raw + rawSize, rva).Read(&tree);
    return tree;
}

void PeChecksum::Add(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i, ++length_) {
        sum_ += static_cast<uint64_t>(bytes[i]) << (length_ % 2 ? 8 : 0);
        if (length_ % 2) sum_ = (sum_ & 0xFFFF) + (sum_ >> 16);
    }
}

uint32_t PeChecksum::Finish() const {
    uint64_t sum = sum_;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + length_);
}

size_t ChecksumOffset(const std::vector<uint8_t>& image) { return Layout::Of(image).optional + 64; }

// Writes the image's PE checksum into its header.
static void UpdateChecksum(std::vector<uint8_t>* image) {
    size_t field = ChecksumOffset(*image);
    Put32(*image, field, 0);
    PeChecksum checksum;
    checksum.Add(image->data(), image->size());
    Put32(*image, field, checksum.Finish());
}

void ReplaceResources(std::vector<uint8_t>* imagePointer, const ResourceTree& resources) {
    std::vector<uint8_t>& image = *imagePointer;
    Layout l = Layout::Of(image);
    Bytes b(image);
    if (b.U32(l.Directory(kCertificateDirectory)) != 0)
        throw std::runtime_error("the stub is signed: sign the setup after building, not the stub before");
    uint32_t rva = b.U32(l.Directory(kResourceDirectory));
    if (rva == 0) throw std::runtime_error("the stub has no resource section");
    uint32_t index = SectionHolding(image, l, rva);
    size_t header = l.Section(index);
    if (b.U32(header + 12) != rva) throw std::runtime_error("the stub's resources don't start their section");
    uint32_t relocationRva = b.U32(l.Directory(kRelocationDirectory));
    for (uint32_t i = index + 1; i < l.sectionCount; ++i) {
        if (b.U32(l.Section(i) + 12) != relocationRva)
            throw std::runtime_error("the stub has sections after its resources other than the relocations");
    }
    // The image must end with its last section: nothing may hang behind it.
    uint32_t end = 0;
    for (uint32_t i = 0; i < l.sectionCount; ++i) end = std::max(end, b.U32(l.Section(i) + 20) + b.U32(l.Section(i) + 16));
    if (end != image.size()) throw std::runtime_error("the stub has bytes after its last section");

    std::vector<uint8_t> section = TreeWriter(resources).Write(rva);
    uint32_t oldRaw = b.U32(header + 20), oldRawSize = b.U32(header + 16);
    uint32_t newRawSize = AlignUp(static_cast<uint32_t>(section.size()), l.fileAlignment);
    section.resize(newRawSize, 0);

    std::vector<uint8_t> edited(image.begin(), image.begin() + oldRaw);
    edited.insert(edited.end(), section.begin(), section.end());
    Put32(edited, header + 8, static_cast<uint32_t>(section.size()));
    Put32(edited, header + 16, newRawSize);
    Put32(edited, l.Directory(kResourceDirectory) + 4, static_cast<uint32_t>(section.size()));
    // The sections behind move along, in the file and in memory.
    uint32_t nextRaw = oldRaw + newRawSize;
    uint32_t nextRva = AlignUp(rva + static_cast<uint32_t>(section.size()), l.sectionAlignment);
    for (uint32_t i = index + 1; i < l.sectionCount; ++i) {
        size_t h = l.Section(i);
        uint32_t raw = b.U32(h + 20), rawSize = b.U32(h + 16), oldRva = b.U32(h + 12);
        edited.insert(edited.end(), image.begin() + raw, image.begin() + raw + rawSize);
        Put32(edited, h + 20, nextRaw);
        Put32(edited, h + 12, nextRva);
        if (oldRva == relocationRva) Put32(edited, l.Directory(kRelocationDirectory), nextRva);
        nextRaw += rawSize;
        nextRva = AlignUp(nextRva + std::max(b.U32(h + 8), rawSize), l.sectionAlignment);
    }
    Put32(edited, l.optional + 56, nextRva);  // SizeOfImage
    Put32(edited, l.optional + 8, b.U32(l.optional + 8) - oldRawSize + newRawSize);  // SizeOfInitializedData
    image.swap(edited);
    UpdateChecksum(&image);
}
