#include <windows.h>

#include "base/in_out_error.h"
#include "launcher/delete_list.h"

static void DeleteListedFile(const Text& path, void*) { DeleteFileA(path.CStr()); }

void DeleteListedFiles(const Text& path) {
    HANDLE list = CreateFileA(path.CStr(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (list == INVALID_HANDLE_VALUE) RaiseInOutError(GetLastError());
    LARGE_INTEGER size;
    Text content;
    DWORD got = 0;
    if (!GetFileSizeEx(list, &size) || size.QuadPart > 0x7FFFFFFF) RaiseInOutError(GetLastError());
    content.Resize(static_cast<size_t>(size.QuadPart));
    if (!ReadFile(list, content.Data(), static_cast<DWORD>(content.Length()), &got, nullptr))
        RaiseInOutError(GetLastError());
    if (!CloseHandle(list)) RaiseInOutError(GetLastError());
    ForEachListLine(content.Sub(0, got), DeleteListedFile, nullptr);
    DeleteFileA(path.CStr());
}
