#include <windows.h>

#include "base/in_out_error.h"
#include "extract/delete_list.h"
#include "extract/extraction_state.h"

namespace {

void DeleteListedFile(const Text& path, void*) {
    SetFileAttributesA(path.CStr(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.CStr());
}

// Deletes what the list at `path` names; false, with the system's error
// code as the last error, when it can't be read.
bool DeleteWhatIsListed(const Text& path) {
    HANDLE list = CreateFileA(path.CStr(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (list == INVALID_HANDLE_VALUE) return false;
    Text content;
    DWORD got = 0;
    bool read = content.TryResize(GetFileSize(list, nullptr)) &&
                ReadFile(list, content.Data(), static_cast<DWORD>(content.Length()), &got, nullptr) &&
                got == content.Length();
    if (!CloseHandle(list) || !read) return false;
    ForEachListLine(content, DeleteListedFile, nullptr);
    return true;
}

}  // namespace

void CreateDeleteList(const Text& path) {
    HANDLE list = CreateFileA(path.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (list == INVALID_HANDLE_VALUE) RaiseInOutError(GetLastError());
    gExtraction.deleteList = list;
    gExtraction.deleteListPath = &path;
}

static void WriteToList(const char* bytes, size_t length) {
    DWORD written;
    if (!WriteFile(gExtraction.deleteList, bytes, static_cast<DWORD>(length), &written, nullptr) || written != length)
        RaiseInOutError(GetLastError());
}

void AddDeleteListLine(const Text& line) {
    WriteToList(line.Data(), line.Length());
    WriteToList("\r\n", 2);
}

void CloseDeleteList() {
    gExtraction.deleteListPath = nullptr;
    if (!CloseHandle(gExtraction.deleteList)) RaiseInOutError(GetLastError());
}

void DeleteListedFiles(const Text& path) {
    if (!DeleteWhatIsListed(path)) RaiseInOutError(GetLastError());
    DeleteFileA(path.CStr());
}

void TakeBackRun() {
    // The state is cleared first: a fault in here reaches the failure report
    // again, which then finds nothing more to take back.
    const Text* targetPath = gExtraction.targetPath;
    const Text* listPath = gExtraction.deleteListPath;
    gExtraction.targetPath = nullptr;
    gExtraction.deleteListPath = nullptr;
    if (targetPath) {
        CloseHandle(gExtraction.targetHandle);
        DeleteListedFile(*targetPath, nullptr);
    }
    if (!listPath) return;
    CloseHandle(gExtraction.deleteList);
    DeleteWhatIsListed(*listPath);
    DeleteFileA(listPath->CStr());
}
