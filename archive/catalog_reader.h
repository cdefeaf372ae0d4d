// Walks the catalog's tagged value stream into the entry list. Platform-free:
// the caller supplies the archive as a CatalogSource.
#pragma once
#include <cstdint>

#include "base/text.h"

// The archive path is fetched into a buffer of this many characters.
static constexpr size_t kArchivePathSize = 255;

class CatalogSource {
public:
    // Reads exactly `count` bytes at the current position; false on a short
    // or failed read.
    virtual bool Read(void* buffer, uint32_t count) = 0;
    // Moves the position; false when the platform refuses.
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Position() = 0;
    virtual uint64_t Size() = 0;

protected:
    ~CatalogSource() = default;
};

// Reads the catalog that starts at `archiveOffset` (a negative offset reads
// from the start of the file, where no catalog can be), appending one entry
// line per entry to the entry list. Returns false when the catalog is not
// valid: a wrong tag, a short read or a text longer than the rest of the
// file. Entries read before the fault stay in the list. On success
// `dataAreaStart` is the position after the end tag.
bool WalkCatalog(CatalogSource& source, int32_t archiveOffset, int32_t* dataAreaStart);

// The location of the archive inside the program's file, recorded by the
// catalog reader for the extraction. Process-wide state stays trivially
// destructible: the launcher runs no static constructors or destructors.
struct ArchiveLocation {
    char path[kArchivePathSize];  // zero-terminated
    int32_t dataAreaStart;
};
extern ArchiveLocation gArchive;
