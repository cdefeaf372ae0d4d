#include <windows.h>

#include "base/in_out_error.h"
#include "extract/delete_list.h"
#include "extract/extraction_state.h"

namespace {

void DeleteListedFile(const Text& path, void*) {
    SetFileAttributesA(path.CStr(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.CStr());
}

// The whole list; false with the system's error code when it can't be read.
bool ReadList(const Text& path, Text* content, DWORD* error) {
    HANDLE list = CreateFileA(path.CStr(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (list == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    LARGE_INTEGER size;
    DWORD got = 0;
    bool read = GetFileSizeEx(list, &size) && size.QuadPart <= 0x7FFFFFFF &&
                content->TryResize(static_cast<size_t>(size.QuadPart)) &&
                ReadFile(list, content->Data(), static_cast<DWORD>(content->Length()), &got, nullptr);
    *error = GetLastError();
    if (!CloseHandle(list) && read) {
        *error = GetLastError();
        read = false;
    }
    *content = content->Sub(0, got);
    return read;
}

}  // namespace

void CreateDeleteList(const Text& path) {
    HANDLE list = CreateFileA(path.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (list == INVALID_HANDLE_VALUE) RaiseInOutError(GetLastError());
    gExtraction.deleteList = list;
    gExtraction.deleteListPath = &path;
}

void AddDeleteListLine(const Text& line) {
    Text withEnd = line;
    withEnd.Append("\r\n");
    DWORD written;
    if (!WriteFile(gExtraction.deleteList, withEnd.Data(), static_cast<DWORD>(withEnd.Length()), &written, nullptr) ||
        written != withEnd.Length())
        RaiseInOutError(GetLastError());
}

void CloseDeleteList() {
    gExtraction.deleteListPath = nullptr;
    if (!CloseHandle(gExtraction.deleteList)) RaiseInOutError(GetLastError());
}

void DeleteListedFiles(const Text& path) {
    Text content;
    DWORD error;
    if (!ReadList(path, &content, &error)) RaiseInOutError(error);
    ForEachListLine(content, DeleteListedFile, nullptr);
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
    Text content;
    DWORD error;
    if (ReadList(*listPath, &content, &error)) ForEachListLine(content, DeleteListedFile, nullptr);
    DeleteFileA(listPath->CStr());
}
