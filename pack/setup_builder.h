// Building a self-extracting setup: the stub, then the catalog, then every
// file compressed. Files stream through the encoder, and a second thread
// decodes each stream as it is written to check it, so memory does not grow
// with the payload and the check costs no time of its own.
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
    // The compressed data waits here in an unnamed file until the catalog,
    // which comes first, is known.
    std::string spoolFolder = "/tmp";
    // The stub's PE checksum covers the whole setup (for a stub whose
    // resources were edited; others keep theirs as linked).
    bool wholeFileChecksum = false;
    // Told the bytes done of the total and the file at hand, now and then.
    std::function<void(uint64_t done, uint64_t total, const std::string& file)> progress;
};

// Writes the setup to `write` and returns the size of the files' compressed
// data.
// A stub whose string resource 1 does not hold its own length is patched,
// and `notes` says so; a stub that already carries an archive is refused
// before any compressing starts.
uint64_t BuildSetup(std::vector<uint8_t> stub, const std::vector<PackInput>& inputs, const PackOptions& options,
                std::vector<std::string>* notes, const lzh::WriteOutput& write);
// The same into memory.
std::vector<uint8_t> BuildSetup(std::vector<uint8_t> stub, const std::vector<PackInput>& inputs,
                                const PackOptions& options, std::vector<std::string>* notes);
