// The builder's profile reader on any text, and the writer's promise: a
// value it accepts comes back from the reader exactly as given.
#include <cstdint>
#include <string>

#include "pack/configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    SetupConfiguration read = ReadConfiguration(text);
    if (read.executable.size() > kMostValueCharacters || read.parameters.size() > kMostValueCharacters)
        __builtin_trap();

    // The first line is a value to write.
    std::string value = text.substr(0, text.find('\n'));
    if (!ValueProblem(value).empty()) return 0;
    SetupConfiguration written;
    written.parameters = value;
    written.hasChecksums = true;
    written.checksums = {0x12345678u, std::nullopt};
    SetupConfiguration back = ReadConfiguration(WriteConfiguration(written));
    if (back.parameters != value || back.checksums.size() != 2 || back.checksums[0] != 0x12345678u) __builtin_trap();
    return 0;
}
