// The process-wide state of the extraction run. Trivially destructible, as
// all process-wide state: the launcher runs no static constructors or
// destructors.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/text.h"

// Entries of a setup without checksums, and the configuration entry, are
// checked by size only.
constexpr uint64_t kNoChecksum = UINT64_MAX;
// A checksum the configuration names but does not hold matches nothing.
constexpr uint64_t kMissingChecksum = UINT64_MAX - 1;

struct ExtractionState {
    HANDLE archiveHandle;
    HANDLE targetHandle;
    const Text* targetPath;  // set while an entry is decoded; owned by its caller
    int32_t entryCompressedSize;
    int32_t entryBytesRead;
    int32_t runBytesRead;
    int32_t runCompressedTotal;
    bool cancelRequested;

    // What the sink saw of the entry being decoded, to be compared with
    // what the catalog and the configuration say it holds.
    uint32_t entryBytesWritten;
    uint32_t entryCrc;
    bool entryChecksummed;
    // The CRC-32 of entry n at [n], one for every entry but the
    // configuration; null when the setup carries none.
    uint64_t* checksums;

    // The delete list while it is being written; its path is owned by the
    // run.
    HANDLE deleteList;
    const Text* deleteListPath;

    // 0, or the exit code of a run that ran nothing: the catalog can't be
    // read (ERROR_FILE_CORRUPT), the archive can't be opened
    // (ERROR_OPEN_FAILED), an entry is damaged (ERROR_FILE_CORRUPT,
    // ERROR_CRC) or can't be written (ERROR_WRITE_FAULT), or a cancel when
    // the setup asks for exit codes (ERROR_CANCELLED).
    uint32_t stopCode;
};
extern ExtractionState gExtraction;

// Sets the cancellation flag: the source delivers nothing more and the run
// extracts no further entry.
void RequestCancel();
