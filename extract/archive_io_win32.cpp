#include "extract/archive_io.h"

#include "archive/catalog_reader.h"
#include "base/crc32.h"
#include "base/win32_seams.h"
#include "extract/extraction_state.h"
#include "progress/progress_update.h"

ExtractionState gExtraction;

void RequestCancel() { gExtraction.cancelRequested = true; }

bool OpenArchive() {
    gExtraction.archiveHandle = CreateFileA(gArchive.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (gExtraction.archiveHandle != INVALID_HANDLE_VALUE) return true;
    // The system's own words for why the open failed follow the line break.
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, reason,
                   sizeof reason, nullptr);
    Text text("Error opening archive file.\r\n");
    text.Append(reason);
    gSeams.messageBox(nullptr, text.CStr(), "Error", MB_ICONEXCLAMATION);
    return false;
}

void CloseArchive() { CloseHandle(gExtraction.archiveHandle); }

void ReadArchiveBlock(uint8_t* buffer, uint16_t wanted, uint16_t* delivered) {
    int32_t remaining = gExtraction.entryCompressedSize - gExtraction.entryBytesRead;
    int32_t n = wanted < remaining ? wanted : remaining;
    DWORD got = 0;
    if (!gExtraction.cancelRequested && n > 0) {
        if (!ReadFile(gExtraction.archiveHandle, buffer, static_cast<DWORD>(n), &got, nullptr)) got = 0;
    }
    *delivered = static_cast<uint16_t>(got);
    gExtraction.entryBytesRead += static_cast<int32_t>(got);
    gExtraction.runBytesRead += static_cast<int32_t>(got);
}

void WriteTargetBlock(const uint8_t* buffer, uint16_t count, uint16_t* written) {
    DWORD done = 0;
    WriteFile(gExtraction.targetHandle, buffer, count, &done, nullptr);
    *written = static_cast<uint16_t>(done);
    gExtraction.entryBytesWritten += done;
    if (gExtraction.entryChecksummed) gExtraction.entryCrc = UpdateCrc32(gExtraction.entryCrc, buffer, count);
    ShowProgress(*gExtraction.targetPath, gExtraction.runBytesRead, gExtraction.runCompressedTotal);
}
