// Whole-file input and output for the native tools. Output to a regular
// file goes to a new temporary file beside it and is renamed into place only
// when complete, so a failure leaves no half-written file behind; a FIFO or
// a device is written directly.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An empty path or "-" means standard input or output. Both throw
// std::runtime_error with "PATH: reason".
std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable = false);

// The temporaries of `path` are named this, followed by six characters.
std::string TemporaryPrefix(const std::string& path);
