// The process-wide state of the extraction run. Trivially destructible, as
// all process-wide state: the launcher runs no static constructors or
// destructors.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/text.h"

struct ExtractionState {
    HANDLE archiveHandle;
    HANDLE targetHandle;
    const Text* targetPath;  // the entry being decoded; owned by its caller
    int32_t entryCompressedSize;
    int32_t entryBytesRead;
    int32_t runBytesRead;
    int32_t runCompressedTotal;
    bool cancelRequested;
};
extern ExtractionState gExtraction;

// Sets the cancellation flag: the source delivers nothing more and the run
// extracts no further entry.
void RequestCancel();
