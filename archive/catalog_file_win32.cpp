#include <windows.h>

#include <cstring>

#include "archive/catalog_file.h"
#include "archive/catalog_reader.h"
#include "archive/number_text.h"
#include "base/win32_seams.h"

namespace {

class FileSource final : public CatalogSource {
public:
    explicit FileSource(HANDLE file) : file_(file) {
        LARGE_INTEGER size;
        size_ = GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }
    bool Read(void* buffer, uint32_t count) override {
        DWORD got = 0;
        if (!ReadFile(file_, buffer, count, &got, nullptr) || got != count) return false;
        position_ += got;
        return true;
    }
    bool Seek(uint64_t position) override {
        LARGE_INTEGER target;
        target.QuadPart = static_cast<LONGLONG>(position);
        if (!SetFilePointerEx(file_, target, nullptr, FILE_BEGIN)) return false;
        position_ = position;
        return true;
    }
    uint64_t Position() override { return position_; }
    uint64_t Size() override { return size_; }

private:
    HANDLE file_;
    uint64_t size_;
    uint64_t position_ = 0;
};

}  // namespace

bool ReadCatalogFile(const Text& offsetText, const Text& archivePath) {
    int32_t archiveOffset = TextToInteger(offsetText);
    size_t pathLength = archivePath.Length() < kArchivePathSize ? archivePath.Length() : 0;
    memcpy(gArchive.path, archivePath.Data(), pathLength);
    gArchive.path[pathLength] = 0;

    bool valid = false;
    HANDLE file = CreateFileA(gArchive.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FileSource source(file);
        int32_t dataAreaStart;
        valid = WalkCatalog(source, archiveOffset, &dataAreaStart);
        if (valid) gArchive.dataAreaStart = dataAreaStart;
        CloseHandle(file);
    }
    if (!valid) gSeams.messageBox(nullptr, "This is not a valid archive", "Archive read error", MB_ICONEXCLAMATION);
    return valid;
}

bool ReadCatalog() {
    char buffer[255];
    int length = LoadStringA(GetModuleHandleA(nullptr), 1, buffer, sizeof buffer);
    Text offsetText(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    DWORD pathLength = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return ReadCatalogFile(offsetText, Text(buffer, pathLength < sizeof buffer ? pathLength : 0));
}
