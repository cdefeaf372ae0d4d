// The whole extraction: the configuration entry first, then every other
// entry with the delete list written as they land.
#pragma once
#include <windows.h>

#include "base/text.h"

#include "archive/catalog_file.h"

// Extracts the archive below `destination` and returns the command line to
// run, or the empty text when nothing is to be run (an invalid catalog, an
// archive that can't be opened, a cancelled run, no program configured).
// A run that is cancelled, stops at a damaged file (gExtraction.stopCode
// says why) or ends in the failure report takes back what it wrote.
// `readCatalog` fills the entry list; the launcher reads its own file.
Text ExtractArchive(HWND progressDialog, const Text& destination, bool (*readCatalog)() = ReadCatalog);

// The value of `key` in `section` of the profile file at `path`.
Text ReadConfigValue(const char* section, const char* key, const char* fallback, const Text& path);
