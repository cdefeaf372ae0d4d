// Reading a self-extracting setup: the launcher stub, whose string resource
// 1 names where the archive begins, then the catalog, then the compressed
// data. The setup is read in pieces, so memory does not grow with it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "lzh/encoder.h"
#include "pack/configuration.h"

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
    explicit SetupFile(const std::string& path);
    explicit SetupFile(std::vector<uint8_t> bytes);
    ~SetupFile();

    // False when the catalog breaks off: Entries() holds those read before.
    bool CatalogComplete() const { return catalogComplete_; }
    const std::vector<SetupEntry>& Entries() const { return entries_; }
    // Whether an entry's compressed data lies inside the file.
    bool HasData(const SetupEntry& entry) const;
    int32_t ArchiveOffset() const { return archiveOffset_; }
    // The launcher image in front of the archive.
    std::vector<uint8_t> StubImage() const;
    int32_t DataAreaStart() const { return dataAreaStart_; }

    // Decodes an entry into `write`; throws when its data lies outside the
    // file.
    void Decode(const SetupEntry& entry, const lzh::WriteOutput& write) const;
    std::vector<uint8_t> Decode(const SetupEntry& entry) const;
    // Decodes entry `index` into `write` and says why that is not what the
    // setup stored: another size, or another checksum when the configuration
    // carries them (the configuration entry itself has none). Empty when it
    // is; throws like Decode.
    std::string DecodeChecked(size_t index, const SetupConfiguration& configuration,
                              const lzh::WriteOutput& write) const;
    SetupConfiguration Configuration() const;

    class Bytes;

private:
    void ReadCatalog();

    std::unique_ptr<Bytes> bytes_;
    std::vector<SetupEntry> entries_;
    int32_t archiveOffset_ = 0;
    int32_t dataAreaStart_ = 0;
    bool catalogComplete_ = false;
};
