// Whole-file input and output for the native tools. Output goes to a
// temporary file beside the target and is renamed into place only when
// complete, so a failure leaves no half-written file behind.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An empty path or "-" means standard input or output. Both throw
// std::runtime_error with "PATH: reason".
std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable = false);
