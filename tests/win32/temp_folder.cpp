#include "tests/win32/temp_folder.h"

#include <windows.h>

#include <cstdio>

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static int counter = 0;
    path_ = std::string(base) + "sfxtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
}

static void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::Write(const std::string& name, const std::vector<unsigned char>& bytes) const {
    std::string file = path_ + "\\" + name;
    FILE* out = fopen(file.c_str(), "wb");
    if (out) {
        fwrite(bytes.data(), 1, bytes.size(), out);
        fclose(out);
    }
    return file;
}
