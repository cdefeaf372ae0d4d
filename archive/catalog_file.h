// The catalog reader on the program's own executable file.
#pragma once
#include "base/text.h"

// Finds the archive through string resource 1 of the executable, records
// the archive path and reads the catalog into the (empty) entry list.
// Returns false after showing "This is not a valid archive"; an offset text
// that is not an integer raises EConvertError instead.
bool ReadCatalog();

// The same on an explicit file with an explicit offset text.
bool ReadCatalogFile(const Text& offsetText, const Text& archivePath);
