// A self-extracting setup: the launcher stub, whose string resource 1 names
// where the archive begins, then the catalog, then the compressed data.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lzh/encoder.h"
#include "pack/configuration.h"
#include "pack/pack_inputs.h"

struct PackOptions {
    SetupConfiguration configuration;
    lzh::EncoderSettings level = lzh::kDefault;
    int64_t sourceDateEpoch = -1;  // clamps dates when not negative
    bool checksums = true;         // a CRC-32 of every entry in the configuration
    std::function<void(size_t done, size_t total, const std::string& name)> progress;
};

// Stub bytes, then the archive. A stub whose string resource 1 does not
// hold its own length is patched; `notes` receives what was done.
std::vector<uint8_t> BuildSetup(std::vector<uint8_t> stub, const std::vector<PackInput>& inputs,
                                const PackOptions& options, std::vector<std::string>* notes);

struct SetupEntry {
    std::string name;  // as stored
    int32_t size, packedSize, offset, attributes;
    double date;
};

class SetupFile {
public:
    // Finds the archive and reads the catalog with the launcher's own
    // reader; throws std::runtime_error when it is not a setup at all (no
    // archive offset, or not one entry readable). A date that is no number
    // reads as NaN.
    explicit SetupFile(std::vector<uint8_t> bytes);

    // False when the catalog breaks off: Entries() holds those read before.
    bool CatalogComplete() const { return catalogComplete_; }
    const std::vector<SetupEntry>& Entries() const { return entries_; }
    // Whether an entry's compressed data lies inside the file.
    bool HasData(const SetupEntry& entry) const;
    int32_t ArchiveOffset() const { return archiveOffset_; }
    int32_t DataAreaStart() const { return dataAreaStart_; }
    // The decoded bytes of an entry; throws when its data lies outside the file.
    std::vector<uint8_t> Decode(const SetupEntry& entry) const;
    // Decodes entry `index` into `decoded` and says why that is not what the
    // setup stored: another size, or another checksum when the configuration
    // carries them (the configuration entry itself has none). Empty when it
    // is; throws like Decode.
    std::string DecodeChecked(size_t index, const SetupConfiguration& configuration,
                              std::vector<uint8_t>* decoded) const;
    SetupConfiguration Configuration() const;

private:
    std::vector<uint8_t> bytes_;
    std::vector<SetupEntry> entries_;
    int32_t archiveOffset_ = 0;
    int32_t dataAreaStart_ = 0;
    bool catalogComplete_ = false;
};
