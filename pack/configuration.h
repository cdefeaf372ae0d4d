// The configuration entry: a profile file with the section
// "VOLQ Configuration" naming the program to run and four options, and the
// builder's own section with the content checksums.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SetupConfiguration {
    std::string executable;  // relative to the extraction folder
    std::string parameters;
    bool useDirs = true;
    bool overWrite = true;
    bool attributes = true;
    bool fileDate = true;
    // CRC-32 of every other entry's content, in catalog order. Without
    // them only sizes can be checked.
    bool hasChecksums = false;
    std::vector<std::optional<uint32_t>> checksums;
    // Opt-in behaviours of this launcher, in the builder's section.
    bool exitCode = false;       // end with the setup program's exit code
    bool ownFolder = false;      // extract into a new folder, removed whole
    bool passArguments = false;  // pass the launcher's arguments on
};

// The stored name of the configuration entry, always the catalog's last.
constexpr const char kConfigurationName[] = "sfxsetup.ini";

// The launcher reads every value with the system's profile reader into 260
// characters; the writer keeps what it returns exactly the text given.
constexpr size_t kMostValueCharacters = 259;

// Why the launcher could not receive `ansi` whole as a value (too long, a
// line break or a NUL), or the empty text when it can.
std::string ValueProblem(const std::string& ansi);
// The value as written: the profile reader trims blanks at both ends and
// strips one pair of quotation marks (" or ') that encloses the whole value,
// so a value that would lose either gets one more enclosing pair.
std::string WrittenValue(const std::string& ansi);
// What the profile reader returns for the text after "=" on a line.
std::string ReceivedValue(const std::string& written);

std::string WriteConfiguration(const SetupConfiguration& configuration);
// Reads it back as the launcher's profile reader does: section and keys
// without regard to case, values as ReceivedValue gives them, missing keys
// empty, an option off only for "0".
// The checksums are there when the builder's section says how many it
// holds; one that is missing or not a number reads as std::nullopt.
SetupConfiguration ReadConfiguration(const std::string& text);
