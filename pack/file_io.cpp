#include "pack/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

bool IsStandard(const std::string& path) { return path.empty() || path == "-"; }

std::runtime_error FileError(const std::string& path) {
    return std::runtime_error((IsStandard(path) ? std::string("standard stream") : path) + ": " + strerror(errno));
}

// A FIFO, a device or a terminal is written as it stands: replacing it with
// a renamed regular file would be wrong (and, for /dev/null as root, harmful).
bool IsSpecialFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

}  // namespace

std::string BaseName(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string TemporaryPrefix(const std::string& path) { return path + ".partial-"; }

FILE* AnonymousTemporary(const std::string& folder) {
    std::string name = folder + "/.sfxpack-XXXXXX";
    int descriptor = mkstemp(&name[0]);
    if (descriptor < 0) throw FileError(folder);
    unlink(name.c_str());
    FILE* file = fdopen(descriptor, "w+b");
    if (!file) {
        close(descriptor);
        throw FileError(folder);
    }
    return file;
}

InputFile::InputFile(const std::string& path) : path_(path), standard_(IsStandard(path)) {
    file_ = standard_ ? stdin : fopen(path.c_str(), "rb");
    if (!file_) throw FileError(path);
}

InputFile::~InputFile() {
    if (file_ && file_ != stdin) fclose(file_);
}

size_t InputFile::Read(uint8_t* buffer, size_t wanted) {
    size_t got = fread(buffer, 1, wanted, file_);
    if (got == 0 && ferror(file_)) throw FileError(path_);
    return got;
}

uint64_t InputFile::Remaining() {
    struct stat info;
    if (fstat(fileno(file_), &info) != 0) throw FileError(path_);
    if (!S_ISREG(info.st_mode)) {
        FILE* copy = AnonymousTemporary(P_tmpdir);
        uint8_t block[1 << 16];
        for (size_t got; (got = Read(block, sizeof block)) > 0;) {
            if (fwrite(block, 1, got, copy) != got) throw FileError(path_);
        }
        if (file_ != stdin) fclose(file_);
        file_ = copy;
        rewind(file_);
        if (fstat(fileno(file_), &info) != 0) throw FileError(path_);
    }
    off_t position = ftello(file_);
    if (position < 0) throw FileError(path_);
    return static_cast<uint64_t>(info.st_size - position);
}

OutputFile::OutputFile(const std::string& path, bool executable) : path_(path) {
    if (IsStandard(path)) {
        file_ = stdout;
        return;
    }
    if (IsSpecialFile(path)) {
        file_ = fopen(path.c_str(), "wb");
        if (!file_) throw FileError(path);
        return;
    }
    // The temporary is a new file with a name of its own: whatever stands
    // beside the target (a user's file, a planted link) is never followed or
    // overwritten, and the rename replaces the target itself, not what a
    // link there points to.
    temporary_ = TemporaryPrefix(path) + "XXXXXX";
    int descriptor = mkstemp(&temporary_[0]);
    if (descriptor < 0) throw FileError(path);
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, (executable ? 0777 : 0666) & ~mask);
    file_ = fdopen(descriptor, "wb");
    if (!file_) {
        close(descriptor);
        unlink(temporary_.c_str());
        throw FileError(path);
    }
}

OutputFile::~OutputFile() {
    if (file_ && file_ != stdout) fclose(file_);
    if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
}

void OutputFile::Write(const uint8_t* bytes, size_t count) {
    if (count && fwrite(bytes, 1, count, file_) != count) throw FileError(path_);
}

void OutputFile::Commit() {
    FILE* file = file_;
    file_ = nullptr;
    if (file == stdout ? fflush(file) != 0 : fclose(file) != 0) throw FileError(path_);
    if (!temporary_.empty() && rename(temporary_.c_str(), path_.c_str()) != 0) throw FileError(path_);
    committed_ = true;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    InputFile input(path);
    std::vector<uint8_t> bytes;
    uint8_t block[1 << 16];
    for (size_t got; (got = input.Read(block, sizeof block)) > 0;) bytes.insert(bytes.end(), block, block + got);
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable) {
    OutputFile output(path, executable);
    output.Write(bytes.data(), bytes.size());
    output.Commit();
}
