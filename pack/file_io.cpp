#include "pack/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

static std::runtime_error FileError(const std::string& path) {
    return std::runtime_error((path.empty() || path == "-" ? std::string("standard stream") : path) + ": " +
                              strerror(errno));
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    bool standard = path.empty() || path == "-";
    FILE* file = standard ? stdin : fopen(path.c_str(), "rb");
    if (!file) throw FileError(path);
    std::vector<uint8_t> bytes;
    uint8_t block[1 << 16];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
    bool failed = ferror(file);
    if (!standard) fclose(file);
    if (failed) throw FileError(path);
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable) {
    if (path.empty() || path == "-") {
        if (fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || fflush(stdout) != 0)
            throw FileError(path);
        return;
    }
    std::string temporary = path + ".partial";
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) throw FileError(path);
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (fclose(file) != 0 || !written) {
        int saved = errno;
        remove(temporary.c_str());
        errno = saved;
        throw FileError(path);
    }
    if (executable) chmod(temporary.c_str(), 0755);
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        int saved = errno;
        remove(temporary.c_str());
        errno = saved;
        throw FileError(path);
    }
}
