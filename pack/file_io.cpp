#include "pack/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

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

namespace {

// A FIFO, a device or a terminal is written as it stands: replacing it with
// a renamed regular file would be wrong (and, for /dev/null as root, harmful).
bool IsSpecialFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

void WriteAll(FILE* file, const std::string& path, const std::vector<uint8_t>& bytes) {
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (fclose(file) != 0 || !written) throw FileError(path);
}

}  // namespace

std::string TemporaryPrefix(const std::string& path) { return path + ".partial-"; }

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable) {
    if (path.empty() || path == "-") {
        if (fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || fflush(stdout) != 0)
            throw FileError(path);
        return;
    }
    if (IsSpecialFile(path)) {
        FILE* file = fopen(path.c_str(), "wb");
        if (!file) throw FileError(path);
        return WriteAll(file, path, bytes);
    }
    // The temporary is a new file with a name of its own: whatever stands
    // beside the target (a user's file, a planted link) is never followed or
    // overwritten, and the rename replaces the target itself, not what a
    // link there points to.
    std::string temporary = TemporaryPrefix(path) + "XXXXXX";
    int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0) throw FileError(path);
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, (executable ? 0777 : 0666) & ~mask);
    try {
        FILE* file = fdopen(descriptor, "wb");
        if (!file) {
            close(descriptor);
            throw FileError(path);
        }
        WriteAll(file, path, bytes);
        if (rename(temporary.c_str(), path.c_str()) != 0) throw FileError(path);
    } catch (...) {
        int saved = errno;
        remove(temporary.c_str());
        errno = saved;
        throw;
    }
}
