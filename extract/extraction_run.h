// The whole extraction: the configuration entry first, then every other
// entry with the delete list written as they land.
#pragma once
#include <windows.h>

#include "base/text.h"

#include "archive/catalog_file.h"

// Extracts the archive below `destination` and returns the command line to
// run, or the empty text when nothing is to be run (an invalid catalog, an
// archive that can't be opened, a cancelled run, no program configured).
// A run that is cancelled, stops at a damaged file or ends in the failure
// report takes back what it wrote; gExtraction.stopCode says why a run ran
// nothing (0 when nothing was configured to run, or on a cancel unless the
// setup asks for exit codes). A setup that asks for its own folder is
// extracted there (gExtensions.ownFolder) instead of into `destination`.
// `readCatalog` fills the entry list; the launcher reads its own file.
Text ExtractArchive(HWND progressDialog, const Text& destination, bool (*readCatalog)() = ReadCatalog);

// The value of `key` in `section` of the profile file at `path`.
Text ReadConfigValue(const char* section, const char* key, const char* fallback, const Text& path);
// A switch: off only for the value "0"; a missing or empty value gives
// `missing` (on for the four options, off for the builder's extensions).
bool ReadConfigSwitch(const char* section, const char* key, bool missing, const Text& path);
