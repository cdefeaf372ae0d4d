// The configuration entry: a profile file with the section
// "VOLQ Configuration" naming the program to run and four options.
#pragma once
#include <string>

struct SetupConfiguration {
    std::string executable;  // relative to the extraction folder
    std::string parameters;
    bool useDirs = true;
    bool overWrite = true;
    bool attributes = true;
    bool fileDate = true;
};

// The stored name of the configuration entry, always the catalog's last.
constexpr const char kConfigurationName[] = "sfxsetup.ini";

std::string WriteConfiguration(const SetupConfiguration& configuration);
// Reads it back as the launcher's profile reader does: section and keys
// without regard to case, missing keys empty, an option off only for "0".
SetupConfiguration ReadConfiguration(const std::string& text);
