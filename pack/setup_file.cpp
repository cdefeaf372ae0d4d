#include "pack/setup_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "archive/memory_source.h"
#include "archive/number_text.h"
#include "base/crc32.h"
#include "base/failure_native.h"
#include "extract/dos_date_time.h"
#include "pack/catalog_writer.h"
#include "pack/pe_image.h"
#include "pack/stored_names.h"
#include "pack/stream_codec.h"

namespace {

constexpr int32_t kArchiveBit = 32;
constexpr int32_t kReadOnlyBit = 1;

std::runtime_error PathError(const std::string& path, const std::string& reason) {
    return std::runtime_error(path + ": " + reason);
}

std::vector<uint8_t> ReadSource(const PackInput& input) {
    FILE* file = fopen(input.source.c_str(), "rb");
    if (!file) throw PathError(input.source, strerror(errno));
    std::vector<uint8_t> bytes(static_cast<size_t>(input.size));
    size_t got = bytes.empty() ? 0 : fread(bytes.data(), 1, bytes.size(), file);
    bool grew = fgetc(file) != EOF;
    fclose(file);
    if (got != bytes.size() || grew) throw PathError(input.source, "changed while it was being packed");
    return bytes;
}

// Makes string resource 1 name the stub's own length.
void StampStub(std::vector<uint8_t>& stub, std::vector<std::string>* notes) {
    StringResourceSlot slot;
    if (!FindStringResource(stub.data(), stub.size(), kArchiveOffsetString, &slot) ||
        slot.length != kArchiveOffsetDigits)
        throw std::runtime_error("the stub has no nine-digit string resource 1 for the archive offset");
    char digits[16];
    int32_t stated = -1;
    bool readable = ReadAsciiString(stub.data(), slot, digits, sizeof digits) && TryParseInteger(Text(digits), &stated);
    // A setup given as the stub would carry its old payload along unseen.
    int32_t dataAreaStart;
    MemorySource source(stub.data(), stub.size());
    ResetEntries();
    bool carriesArchive = readable && stated >= 0 && WalkCatalog(source, stated, &dataAreaStart);
    ClearEntries();
    if (carriesArchive)
        throw std::runtime_error("the stub is itself a setup: it carries an archive at offset " + std::to_string(stated) +
                                 "; give the bare launcher");
    if (!readable || stated != static_cast<int64_t>(stub.size())) {
        if (!WriteDecimalString(stub.data(), slot, stub.size()))
            throw std::runtime_error("the stub is too large for a nine-digit archive offset");
        notes->push_back("stub's string resource 1 said " + std::string(digits) + ", patched to its length " +
                         std::to_string(stub.size()));
    }
}

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

std::vector<uint8_t> BuildSetup(std::vector<uint8_t> stub, const std::vector<PackInput>& inputs,
                                const PackOptions& options, std::vector<std::string>* notes) {
    StampStub(stub, notes);
    std::vector<CatalogRecord> records;
    std::vector<uint8_t> data;
    auto add = [&](const std::string& name, const std::vector<uint8_t>& bytes, int32_t attributes, double date) {
        std::vector<uint8_t> packed = lzh::Compress(bytes.data(), bytes.size(), options.level);
        if (DecodeStream(packed, bytes.size()) != bytes)
            throw std::runtime_error(name + ": the compressed stream does not decode to the file");
        if (data.size() + packed.size() > static_cast<size_t>(INT32_MAX))
            throw std::runtime_error("the compressed data exceeds 2 GiB - 1, the most a setup can hold");
        records.push_back({name, static_cast<int32_t>(bytes.size()), static_cast<int32_t>(packed.size()),
                           static_cast<int32_t>(data.size()), attributes, date});
        data.insert(data.end(), packed.begin(), packed.end());
    };
    auto dateOf = [&](int64_t modified) {
        if (options.sourceDateEpoch >= 0 && modified > options.sourceDateEpoch) modified = options.sourceDateEpoch;
        return DayCountFromUnixTime(modified);
    };

    SetupConfiguration withChecksums = options.configuration;
    withChecksums.hasChecksums = options.checksums;
    withChecksums.checksums.clear();
    for (size_t i = 0; i < inputs.size(); ++i) {
        const PackInput& input = inputs[i];
        if (options.progress) options.progress(i, inputs.size(), input.source);
        std::vector<uint8_t> bytes = ReadSource(input);
        withChecksums.checksums.push_back(UpdateCrc32(0, bytes.data(), bytes.size()));
        add(input.stored, bytes, kArchiveBit | (input.readOnly ? kReadOnlyBit : 0), dateOf(input.modified));
    }
    if (options.progress) options.progress(inputs.size(), inputs.size(), "");
    std::string configuration = WriteConfiguration(withChecksums);
    int64_t now = options.sourceDateEpoch >= 0 ? options.sourceDateEpoch : 0;
    add(kConfigurationName, std::vector<uint8_t>(configuration.begin(), configuration.end()), kArchiveBit,
        DayCountFromUnixTime(now));

    std::vector<uint8_t> catalog = WriteCatalog(records);
    if (stub.size() + catalog.size() + data.size() > static_cast<size_t>(INT32_MAX))
        throw std::runtime_error("the setup would exceed 2 GiB - 1 bytes");
    stub.insert(stub.end(), catalog.begin(), catalog.end());
    stub.insert(stub.end(), data.begin(), data.end());
    return stub;
}

SetupFile::SetupFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    StringResourceSlot slot;
    char digits[256];
    if (!FindStringResource(bytes_.data(), bytes_.size(), kArchiveOffsetString, &slot) ||
        !ReadAsciiString(bytes_.data(), slot, digits, sizeof digits))
        throw std::runtime_error("not a setup: no string resource 1 naming the archive offset");
    if (!TryParseInteger(Text(digits), &archiveOffset_))
        throw std::runtime_error(std::string("not a setup: string resource 1 is '") + digits + "', not an offset");
    MemorySource source(bytes_.data(), bytes_.size());
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

bool SetupFile::HasData(const SetupEntry& entry) const {
    int64_t start = static_cast<int64_t>(dataAreaStart_) + entry.offset;
    return catalogComplete_ && entry.packedSize >= 0 && start >= dataAreaStart_ &&
           start + entry.packedSize <= static_cast<int64_t>(bytes_.size());
}

std::vector<uint8_t> SetupFile::Decode(const SetupEntry& entry) const {
    if (!HasData(entry)) throw std::runtime_error("its data lies outside the file");
    int64_t start = static_cast<int64_t>(dataAreaStart_) + entry.offset;
    std::vector<uint8_t> packed(bytes_.begin() + start, bytes_.begin() + start + entry.packedSize);
    // The stored size is only a hint (a damaged catalog may claim anything);
    // no stream yields more than 60 bytes for every 10 bits.
    size_t hint = entry.size > 0 ? static_cast<size_t>(entry.size) : 0;
    return DecodeStream(packed, std::min(hint, packed.size() * 48 + 64));
}

std::string SetupFile::DecodeChecked(size_t index, const SetupConfiguration& configuration,
                                     std::vector<uint8_t>* decoded) const {
    const SetupEntry& entry = entries_.at(index);
    *decoded = Decode(entry);
    if (entry.size < 0 || decoded->size() != static_cast<size_t>(entry.size))
        return "decodes to " + std::to_string(decoded->size()) + " bytes, stored size " + std::to_string(entry.size);
    if (!configuration.hasChecksums || index + 1 == entries_.size()) return "";
    if (index >= configuration.checksums.size() || !configuration.checksums[index]) return "its checksum is missing";
    uint32_t crc = UpdateCrc32(0, decoded->data(), decoded->size());
    if (crc == *configuration.checksums[index]) return "";
    char text[80];
    snprintf(text, sizeof text, "content differs: CRC-32 %08X, stored %08X", crc, *configuration.checksums[index]);
    return text;
}

SetupConfiguration SetupFile::Configuration() const {
    if (!catalogComplete_) throw std::runtime_error("the catalog is damaged: its configuration entry can't be found");
    std::vector<uint8_t> text = Decode(entries_.back());
    return ReadConfiguration(std::string(text.begin(), text.end()));
}
