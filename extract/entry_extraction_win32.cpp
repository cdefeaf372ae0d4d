#include <windows.h>

#include "archive/entry_list.h"
#include "archive/catalog_reader.h"
#include "base/failure.h"
#include "extract/dos_date_time.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_state.h"
#include "extract/overwrite.h"
#include "extract/target_path.h"
#include "lzh/block_io.h"

[[noreturn]] static void RaiseInvalidDirectory() {
    RaiseFailure(FailureKind::Exception, Text("This is not a valid directory name"));
}

bool IsDirectory(const Text& path) {
    DWORD attributes = GetFileAttributesA(path.CStr());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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

static bool WriteEntryFile(const Text& targetPath, const CatalogEntry& entry, uint32_t packedDate,
                           const ExtractionOptions& options) {
    if (!ConfirmOverwrite(targetPath, options.overWrite)) return false;
    // A target that can't be created (a directory of that name, a file in
    // use) is skipped whole: nothing is decoded into nowhere and nothing
    // that stands there is touched. Every entry is positioned by its own
    // offset, so the next one reads correctly.
    HANDLE target = CreateFileA(targetPath.CStr(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) return false;
    gExtraction.targetHandle = target;
    gExtraction.entryBytesRead = 0;
    gExtraction.entryCompressedSize = entry.packedSize;
    gExtraction.targetPath = &targetPath;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(gArchive.dataAreaStart) + entry.offset;
    if (!SetFilePointerEx(gExtraction.archiveHandle, position, nullptr, FILE_BEGIN)) gExtraction.entryCompressedSize = 0;
    lzh::Decompress();
    CloseHandle(target);
    gExtraction.targetPath = nullptr;
    if (options.fileDate) ApplyDate(targetPath, packedDate);
    if (options.attributes) SetFileAttributesA(targetPath.CStr(), static_cast<DWORD>(entry.attributes));
    return true;
}

bool ExtractEntry(int32_t index, const Text& destination, const ExtractionOptions& options, Text* targetPath) {
    CatalogEntry entry = ParseEntryLine(GetEntry(index));
    uint32_t packedDate = PackDosDateTime(entry.date);
    *targetPath = BuildTargetPath(IncludeBackslash(destination), entry.name, options.useDirs);
    return WriteEntryFile(*targetPath, entry, packedDate, options);
}
