// Just enough of the PE format to find string resource 1 of a launcher
// image, where the archive offset is kept as nine decimal digits.
#pragma once
#include <cstddef>
#include <cstdint>

struct StringResourceSlot {
    size_t offset = 0;  // file offset of the first UTF-16 character
    size_t length = 0;  // in characters
};

// Finds string `id` of the first language of the image's string table.
// Returns false for anything that is not a well-formed PE image holding it.
bool FindStringResource(const uint8_t* image, size_t size, uint16_t id, StringResourceSlot* slot);

// Reads the slot's characters as ASCII; false when one is not ASCII.
bool ReadAsciiString(const uint8_t* image, const StringResourceSlot& slot, char* out, size_t outSize);

// Writes `value` into the slot as decimal digits with leading zeros, filling
// the slot exactly; false when the value does not fit.
bool WriteDecimalString(uint8_t* image, const StringResourceSlot& slot, uint64_t value);

static constexpr uint16_t kArchiveOffsetString = 1;
static constexpr size_t kArchiveOffsetDigits = 9;
