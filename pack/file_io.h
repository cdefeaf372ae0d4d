// File input and output for the native tools, in pieces, so that memory
// does not grow with the files. Output to a regular file goes to a new
// temporary file beside it and is renamed into place only when complete, so
// a failure leaves no half-written file behind; a FIFO, a device or standard
// output is written directly.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Errors throw std::runtime_error with "PATH: reason". An empty path or "-"
// means standard input or output.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Up to `wanted` next bytes; 0 only at the end.
    size_t Read(uint8_t* buffer, size_t wanted);
    // The number of bytes from the current position to the end. A stream of
    // unknown length (standard input, a pipe) is first copied to an
    // anonymous temporary file.
    uint64_t Remaining();

private:
    std::string path_;
    FILE* file_;
    bool standard_;
};

class OutputFile {
public:
    explicit OutputFile(const std::string& path, bool executable = false);
    // Removes the temporary of an output that was not committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const uint8_t* bytes, size_t count);
    // Completes the output: the temporary takes the target's place.
    void Commit();

private:
    std::string path_, temporary_;
    FILE* file_;
    bool committed_ = false;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable = false);

// A path's last component (trailing slashes ignored), and the folder that
// holds it ("." for a bare name).
std::string BaseName(std::string path);
std::string FolderOf(const std::string& path);

// The temporaries of `path` are named this, followed by six characters.
std::string TemporaryPrefix(const std::string& path);

// An unnamed temporary file in `folder`, gone when closed.
FILE* AnonymousTemporary(const std::string& folder);
