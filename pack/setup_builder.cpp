#include "pack/setup_builder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "archive/memory_source.h"
#include "archive/number_text.h"
#include "base/crc32.h"
#include "extract/dos_date_time.h"
#include "pack/catalog_writer.h"
#include "pack/file_io.h"
#include "pack/little_endian.h"
#include "pack/pe_image.h"
#include "pack/pe_resources.h"
#include "pack/stream_check.h"

namespace {

constexpr int32_t kArchiveBit = 32;
constexpr int32_t kReadOnlyBit = 1;

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

// The compressed data of every entry, back to back in an unnamed file.
class DataArea {
public:
    explicit DataArea(const std::string& folder) : file_(AnonymousTemporary(folder)) {}
    ~DataArea() { fclose(file_); }
    DataArea(const DataArea&) = delete;
    DataArea& operator=(const DataArea&) = delete;

    uint64_t Size() const { return size_; }
    void Write(const uint8_t* bytes, size_t count) {
        if (fwrite(bytes, 1, count, file_) != count) throw std::runtime_error(std::string("data area: ") + strerror(errno));
        size_ += count;
        if (size_ > static_cast<uint64_t>(INT32_MAX))
            throw std::runtime_error("the compressed data exceeds 2 GiB - 1, the most a setup can hold");
    }
    void ForEachBlock(const lzh::WriteOutput& visit) {
        rewind(file_);
        uint8_t block[1 << 16];
        for (size_t got; (got = fread(block, 1, sizeof block, file_)) > 0;) visit(block, got);
        if (ferror(file_)) throw std::runtime_error(std::string("data area: ") + strerror(errno));
    }

private:
    FILE* file_;
    uint64_t size_ = 0;
};

// Compresses one entry into the data area while a second thread decodes the
// stream; the decoded size and CRC must be those of what was read.
class EntryPacker {
public:
    EntryPacker(DataArea& data, const PackOptions& options, std::vector<CatalogRecord>* records)
        : data_(data), options_(options), records_(records) {}

    // Returns the CRC-32 of the entry's content.
    uint32_t Pack(const std::string& name, uint64_t size, const lzh::ReadInput& read, int32_t attributes, double date) {
        uint64_t start = data_.Size();
        uint32_t crc = 0;
        StreamCheck check;
        lzh::CompressStream(
            size,
            [&](uint8_t* buffer, size_t wanted) {
                size_t got = read(buffer, wanted);
                crc = UpdateCrc32(crc, buffer, got);
                return got;
            },
            [&](const uint8_t* bytes, size_t count) {
                data_.Write(bytes, count);
                check.Feed(bytes, count);
            },
            options_.level);
        StreamCheck::Decoded decoded = check.Finish();
        if (decoded.size != size || decoded.crc != crc)
            throw std::runtime_error(name + ": the compressed stream does not decode to the file");
        records_->push_back({name, static_cast<int32_t>(size), static_cast<int32_t>(data_.Size() - start),
                             static_cast<int32_t>(start), attributes, date});
        return crc;
    }

private:
    DataArea& data_;
    const PackOptions& options_;
    std::vector<CatalogRecord>* records_;
};

std::runtime_error Changed(const PackInput& input) {
    return std::runtime_error(input.source + ": changed while it was being packed");
}

}  // namespace

uint64_t BuildSetup(std::vector<uint8_t> stub, const std::vector<PackInput>& inputs, const PackOptions& options,
                    std::vector<std::string>* notes, const lzh::WriteOutput& write) {
    StampStub(stub, notes);
    std::vector<CatalogRecord> records;
    DataArea data(options.spoolFolder);
    EntryPacker packer(data, options, &records);
    auto dateOf = [&](int64_t modified) {
        if (options.sourceDateEpoch >= 0 && modified > options.sourceDateEpoch) modified = options.sourceDateEpoch;
        return DayCountFromUnixTime(modified);
    };

    uint64_t total = 0, done = 0;
    for (const PackInput& input : inputs) total += static_cast<uint64_t>(input.size);
    SetupConfiguration withChecksums = options.configuration;
    withChecksums.hasChecksums = options.checksums;
    withChecksums.checksums.clear();
    for (const PackInput& input : inputs) {
        InputFile file(input.source);
        if (file.Remaining() != static_cast<uint64_t>(input.size)) throw Changed(input);
        uint64_t nextReport = 0;
        lzh::ReadInput read = [&](uint8_t* buffer, size_t wanted) {
            size_t got = file.Read(buffer, wanted);
            done += got;
            if (options.progress && done >= nextReport) {
                options.progress(done, total, input.source);
                nextReport = done + (1 << 20);
            }
            return got;
        };
        if (options.progress) options.progress(done, total, input.source);
        uint32_t crc = packer.Pack(input.stored, static_cast<uint64_t>(input.size), read,
                                   kArchiveBit | (input.readOnly ? kReadOnlyBit : 0), dateOf(input.modified));
        uint8_t more;
        if (file.Read(&more, 1) != 0) throw Changed(input);
        withChecksums.checksums.push_back(crc);
    }
    if (options.progress) options.progress(done, total, "");

    uint64_t filesPacked = data.Size();
    std::string configuration = WriteConfiguration(withChecksums);
    int64_t now = options.sourceDateEpoch >= 0 ? options.sourceDateEpoch : 0;
    packer.Pack(kConfigurationName, configuration.size(),
                lzh::ReadFromMemory(reinterpret_cast<const uint8_t*>(configuration.data()), configuration.size()),
                kArchiveBit, DayCountFromUnixTime(now));

    std::vector<uint8_t> catalog = WriteCatalog(records);
    if (stub.size() + catalog.size() + data.Size() > static_cast<uint64_t>(INT32_MAX))
        throw std::runtime_error("the setup would exceed 2 GiB - 1 bytes");
    if (options.wholeFileChecksum) {
        uint8_t* field = stub.data() + ChecksumOffset(stub);
        WriteLe32(field, 0);
        PeChecksum checksum;
        checksum.Add(stub.data(), stub.size());
        checksum.Add(catalog.data(), catalog.size());
        data.ForEachBlock([&](const uint8_t* bytes, size_t count) { checksum.Add(bytes, count); });
        WriteLe32(field, checksum.Finish());
    }
    write(stub.data(), stub.size());
    write(catalog.data(), catalog.size());
    data.ForEachBlock(write);
    return filesPacked;
}

std::vector<uint8_t> BuildSetup(std::vector<uint8_t> stub, const std::vector<PackInput>& inputs,
                                const PackOptions& options, std::vector<std::string>* notes) {
    std::vector<uint8_t> setup;
    BuildSetup(std::move(stub), inputs, options, notes, lzh::AppendTo(&setup));
    return setup;
}
