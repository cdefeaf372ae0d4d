#include <windows.h>

#include "archive/entry_list.h"
#include "archive/catalog_reader.h"
#include "base/failure.h"
#include "base/win32_seams.h"
#include "extract/dos_date_time.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_state.h"
#include "extract/overwrite.h"
#include "extract/target_path.h"
#include "lzh/block_io.h"

[[noreturn]] void RaiseInvalidDirectory() {
    RaiseFailure(FailureKind::Exception, Text("This is not a valid directory name"));
}

bool IsDirectory(const Text& path) {
    DWORD attributes = GetFileAttributesA(path.CStr());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const Text& path) {
    DWORD attributes = GetFileAttributesA(path.CStr());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool MakeDirectory(const Text& path) { return CreateDirectoryA(path.CStr(), nullptr) != 0; }

void CreateDirectoryPath(const Text& directory) {
    if (directory.Empty()) RaiseInvalidDirectory();
    Text path = directory.EndsWith('\\') ? directory.Sub(0, directory.Length() - 1) : directory;
    if (path.Length() < 3 || IsDirectory(path)) return;
    Text parent = DirectoryPart(path);
    // A path ending in a colon is its own parent: no progress to be made.
    if (parent.Length() != path.Length()) CreateDirectoryPath(parent);
    if (!MakeDirectory(path)) RaiseInvalidDirectory();
}

Text BuildTargetPath(const Text& destination, const Text& storedName, bool useDirs) {
    Text relative = StoredRelativePart(storedName, useDirs);
    if (!IsWritableRelativePart(relative)) RaiseInvalidDirectory();
    Text target = IncludeBackslash(destination);
    target.Append(relative);
    CreateDirectoryPath(DirectoryPart(target));
    return target;
}

// Sets the last-write time from a packed local DOS date; 0 or an invalid
// date leaves it as the writing left it.
static void ApplyDate(const Text& path, uint32_t packedDate) {
    FILETIME local, universal;
    if (packedDate == 0 || !DosDateTimeToFileTime(static_cast<WORD>(packedDate >> 16), static_cast<WORD>(packedDate), &local) ||
        !LocalFileTimeToFileTime(&local, &universal))
        return;
    HANDLE file = CreateFileA(path.CStr(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, nullptr, nullptr, &universal);
    CloseHandle(file);
}

// Stops the run at an entry that did not land as the setup stored it: the
// user learns which file and why, in English and German; the run takes back
// what it wrote and nothing runs.
struct StopReason {
    const char* english;
    const char* german;
};
static const StopReason kDamagedFile = {"Damaged file", "Besch\344digte Datei"};
static const StopReason kUnwritableFile = {"Unwritable file", "Datei nicht schreibbar"};

static void StopRun(const Text& targetPath, uint32_t exitCode, const StopReason& reason) {
    Text text = targetPath;
    text.Append("\r\n\r\n").Append(reason.english).Append(": the setup will not run.\r\n");
    text.Append(reason.german).Append(": das Setup startet nicht.");
    gSeams.messageBox(nullptr, text.CStr(), "Setup stopped", MB_ICONHAND);
    gExtraction.stopCode = exitCode;
    RequestCancel();
}

static bool WriteEntryFile(const Text& targetPath, const CatalogEntry& entry, uint64_t checksum, uint32_t packedDate,
                           const ExtractionOptions& options) {
    if (!ConfirmOverwrite(targetPath, options.overWrite)) return false;
    // A target that can't be created (a directory of that name, a file in
    // use) is skipped whole: nothing is decoded into nowhere and nothing
    // that stands there is touched. Every entry is positioned by its own
    // offset, so the next one reads correctly. In a setup with checksums
    // every file counts, and one that can't be written stops the run.
    HANDLE target = CreateFileA(targetPath.CStr(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        if (checksum != kNoChecksum) StopRun(targetPath, ERROR_WRITE_FAULT, kUnwritableFile);
        return false;
    }
    gExtraction.targetHandle = target;
    gExtraction.entryBytesRead = 0;
    gExtraction.entryCompressedSize = entry.packedSize;
    gExtraction.entryBytesWritten = 0;
    gExtraction.entryCrc = 0;
    gExtraction.entryChecksummed = checksum != kNoChecksum;
    gExtraction.targetPath = &targetPath;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(gArchive.dataAreaStart) + entry.offset;
    if (!SetFilePointerEx(gExtraction.archiveHandle, position, nullptr, FILE_BEGIN)) gExtraction.entryCompressedSize = 0;
    lzh::Decompress();
    CloseHandle(target);
    gExtraction.targetPath = nullptr;
    // A cancelled entry is cut short on purpose. Any other that is not what
    // the setup stored (a cut download, a changed byte, a full disk) is
    // listed, so that the run takes it back with the rest.
    if (!gExtraction.cancelRequested) {
        uint32_t damage = entry.size < 0 || gExtraction.entryBytesWritten != static_cast<uint32_t>(entry.size)
                              ? ERROR_FILE_CORRUPT
                          : checksum != kNoChecksum && gExtraction.entryCrc != checksum ? ERROR_CRC
                                                                                          : 0;
        if (damage) {
            StopRun(targetPath, damage, kDamagedFile);
            return true;
        }
    }
    if (options.fileDate) ApplyDate(targetPath, packedDate);
    if (options.attributes) SetFileAttributesA(targetPath.CStr(), static_cast<DWORD>(entry.attributes));
    return true;
}

bool ExtractEntry(int32_t index, const Text& destination, const ExtractionOptions& options, Text* targetPath) {
    CatalogEntry entry = ParseEntryLine(GetEntry(index));
    uint32_t packedDate = PackDosDateTime(entry.date);
    uint64_t checksum =
        gExtraction.checksums && index < EntryCount() - 1 ? gExtraction.checksums[index] : kNoChecksum;
    *targetPath = BuildTargetPath(IncludeBackslash(destination), entry.name, options.useDirs);
    return WriteEntryFile(*targetPath, entry, checksum, packedDate, options);
}
