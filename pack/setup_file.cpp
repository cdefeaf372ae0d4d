#include "pack/setup_file.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "archive/number_text.h"
#include "base/crc32.h"
#include "base/failure_native.h"
#include "pack/pe_image.h"
#include "pack/stored_names.h"
#include "pack/stream_codec.h"

namespace {

// The catalog reader writes every integer itself, so only the date can fail
// to read back: a hostile catalog's INF or NaN. It reads as NaN, shown as
// unknown, instead of failing the whole setup.
CatalogEntry ParseEntryLeniently(const Text& line) {
    try {
        return ParseEntryLine(line);
    } catch (const Failure&) {
        size_t offsetTab = line.Length();
        while (offsetTab > 0 && line[offsetTab - 1] != '\t') --offsetTab;
        size_t dateTab = offsetTab > 0 ? offsetTab - 1 : 0;
        while (dateTab > 0 && line[dateTab - 1] != '\t') --dateTab;
        CatalogEntry entry = ParseEntryLine(line.Sub(0, dateTab) + Text("0\t") + line.Sub(offsetTab));
        entry.date = std::nan("");
        return entry;
    }
}

}  // namespace

// The setup's bytes, in memory or in a file, read at any position.
class SetupFile::Bytes {
public:
    explicit Bytes(std::vector<uint8_t> memory) : memory_(std::move(memory)), size_(memory_.size()) {}
    explicit Bytes(const std::string& path) : file_(fopen(path.c_str(), "rb")) {
        if (!file_ || fseeko(file_, 0, SEEK_END) != 0) throw std::runtime_error(path + ": " + strerror(errno));
        size_ = static_cast<uint64_t>(ftello(file_));
    }
    ~Bytes() {
        if (file_) fclose(file_);
    }
    uint64_t Size() const { return size_; }
    // Up to `count` bytes at `position`; fewer only at the end.
    size_t Read(uint64_t position, uint8_t* buffer, size_t count) {
        if (position >= size_) return 0;
        count = static_cast<size_t>(std::min<uint64_t>(count, size_ - position));
        if (!file_) {
            memcpy(buffer, memory_.data() + position, count);
            return count;
        }
        if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) return 0;
        return fread(buffer, 1, count, file_);
    }

private:
    std::vector<uint8_t> memory_;
    FILE* file_ = nullptr;
    uint64_t size_ = 0;
};

namespace {

// The catalog reader's view of the setup's bytes.
class BytesSource final : public CatalogSource {
public:
    explicit BytesSource(SetupFile::Bytes& bytes) : bytes_(bytes) {}
    bool Read(void* buffer, uint32_t count) override {
        size_t got = bytes_.Read(position_, static_cast<uint8_t*>(buffer), count);
        position_ += got;
        return got == count;
    }
    bool Seek(uint64_t position) override {
        position_ = position;
        return true;
    }
    uint64_t Position() override { return position_; }
    uint64_t Size() override { return bytes_.Size(); }

private:
    SetupFile::Bytes& bytes_;
    uint64_t position_ = 0;
};

// String resource 1 lies in the stub's image, at the start of the file;
// launchers are small, and this bounds what is read to find it.
constexpr size_t kMostStubBytes = 4 << 20;

}  // namespace

SetupFile::SetupFile(const std::string& path) : bytes_(new Bytes(path)) { ReadCatalog(); }

SetupFile::SetupFile(std::vector<uint8_t> bytes) : bytes_(new Bytes(std::move(bytes))) { ReadCatalog(); }

SetupFile::~SetupFile() = default;

void SetupFile::ReadCatalog() {
    std::vector<uint8_t> image(static_cast<size_t>(std::min<uint64_t>(bytes_->Size(), kMostStubBytes)));
    image.resize(bytes_->Read(0, image.data(), image.size()));
    StringResourceSlot slot;
    char digits[256];
    if (!FindStringResource(image.data(), image.size(), kArchiveOffsetString, &slot) ||
        !ReadAsciiString(image.data(), slot, digits, sizeof digits))
        throw std::runtime_error("not a setup: no string resource 1 naming the archive offset");
    if (!TryParseInteger(Text(digits), &archiveOffset_))
        throw std::runtime_error(std::string("not a setup: string resource 1 is '") + digits + "', not an offset");
    BytesSource source(*bytes_);
    ResetEntries();
    catalogComplete_ = WalkCatalog(source, archiveOffset_, &dataAreaStart_);
    for (int32_t i = 0; i < EntryCount(); ++i) {
        CatalogEntry e = ParseEntryLeniently(GetEntry(i));
        entries_.push_back({std::string(e.name.Data(), e.name.Length()), e.size, e.packedSize, e.offset,
                            e.attributes, e.date});
    }
    ClearEntries();
    if (!catalogComplete_ && entries_.empty())
        throw std::runtime_error("This is not a valid archive (no catalog at offset " + std::to_string(archiveOffset_) +
                                 ")");
}

std::vector<uint8_t> SetupFile::StubImage() const {
    std::vector<uint8_t> image(static_cast<size_t>(std::min<uint64_t>(archiveOffset_ > 0 ? archiveOffset_ : 0, kMostStubBytes)));
    image.resize(bytes_->Read(0, image.data(), image.size()));
    return image;
}

bool SetupFile::HasData(const SetupEntry& entry) const {
    int64_t start = static_cast<int64_t>(dataAreaStart_) + entry.offset;
    return catalogComplete_ && entry.packedSize >= 0 && start >= dataAreaStart_ &&
           static_cast<uint64_t>(start + entry.packedSize) <= bytes_->Size();
}

void SetupFile::Decode(const SetupEntry& entry, const lzh::WriteOutput& write) const {
    if (!HasData(entry)) throw std::runtime_error("its data lies outside the file");
    uint64_t position = static_cast<uint64_t>(dataAreaStart_) + static_cast<uint64_t>(entry.offset);
    uint64_t left = static_cast<uint64_t>(entry.packedSize);
    DecodeStream(
        [&](uint8_t* buffer, size_t wanted) {
            size_t got = bytes_->Read(position, buffer, static_cast<size_t>(std::min<uint64_t>(wanted, left)));
            position += got;
            left -= got;
            return got;
        },
        write);
}

std::vector<uint8_t> SetupFile::Decode(const SetupEntry& entry) const {
    std::vector<uint8_t> decoded;
    Decode(entry, lzh::AppendTo(&decoded));
    return decoded;
}

std::string SetupFile::DecodeChecked(size_t index, const SetupConfiguration& configuration,
                                     const lzh::WriteOutput& write) const {
    const SetupEntry& entry = entries_.at(index);
    uint64_t size = 0;
    uint32_t crc = 0;
    Decode(entry, [&](const uint8_t* bytes, size_t count) {
        size += count;
        crc = UpdateCrc32(crc, bytes, count);
        write(bytes, count);
    });
    if (entry.size < 0 || size != static_cast<uint64_t>(entry.size))
        return "decodes to " + std::to_string(size) + " bytes, stored size " + std::to_string(entry.size);
    if (!configuration.hasChecksums || index + 1 == entries_.size()) return "";
    if (index >= configuration.checksums.size() || !configuration.checksums[index]) return "its checksum is missing";
    if (crc == *configuration.checksums[index]) return "";
    char text[80];
    snprintf(text, sizeof text, "content differs: CRC-32 %08X, stored %08X", crc, *configuration.checksums[index]);
    return text;
}

SetupConfiguration SetupFile::Configuration() const {
    if (!catalogComplete_) throw std::runtime_error("the catalog is damaged: its configuration entry can't be found");
    // A configuration is a few lines; a damaged catalog may claim more.
    constexpr size_t kMostConfigurationBytes = 1 << 20;
    std::string text;
    Decode(entries_.back(), [&](const uint8_t* bytes, size_t count) {
        if (text.size() < kMostConfigurationBytes) text.append(reinterpret_cast<const char*>(bytes), count);
    });
    return ReadConfiguration(text);
}
