// One catalog entry to one file.
#pragma once
#include <cstdint>

#include "base/text.h"

struct ExtractionOptions {
    bool useDirs, overWrite, attributes, fileDate;
};

// Extracts entry `index` of the entry list below `destination`; returns
// whether the file was written, and its path in `targetPath`.
bool ExtractEntry(int32_t index, const Text& destination, const ExtractionOptions& options, Text* targetPath);

// The target path, after creating its directory. A name that would leave
// the destination fails like a directory that can't be made.
Text BuildTargetPath(const Text& destination, const Text& storedName, bool useDirs);
// Creates the directory and its missing parents, or raises the failure
// "This is not a valid directory name".
void CreateDirectoryPath(const Text& directory);
bool IsDirectory(const Text& path);
// True when something other than a directory stands at the path.
bool IsFile(const Text& path);
// The failure of a name that can't be a path below the destination.
[[noreturn]] void RaiseInvalidDirectory();
