// Runs the decoder through its two procedure slots over bytes in memory,
// recording how it calls them.
#pragma once
#include <cstdint>
#include <vector>

struct DecodeRun {
    std::vector<uint8_t> output;
    std::vector<uint16_t> writeCounts;  // Count of every WriteBlock call
    int readCalls = 0;
    int readCallsAfterEnd = 0;  // calls made after the first one that found nothing
};

// `chunk` caps how many bytes one ReadBlock call delivers (0: as asked);
// `chunkSeed` non-zero delivers pseudo-random sizes from 1 to `chunk`.
DecodeRun DecodeThroughSlots(const std::vector<uint8_t>& stream, unsigned chunk = 0, uint32_t chunkSeed = 0);
