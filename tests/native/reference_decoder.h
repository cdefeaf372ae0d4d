// The decoder exactly as the format describes it, step by step: the plain
// model update with its linear search, one byte per refill, and the end
// tests. `guarded` chooses the reader that also refills at 8 bits; without
// it the reader is the one in launchers already in the field.
#pragma once
#include <cstdint>
#include <vector>

// `emptyRefills` receives how many refills found no input left.
std::vector<uint8_t> ReferenceDecode(const std::vector<uint8_t>& stream, bool guarded, int* emptyRefills = nullptr);
