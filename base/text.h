// Byte string in the system's ANSI code page. The launcher carries no C++
// runtime, so this small owning string stands in for std::string everywhere
// in the core; it allocates through base/memory.h and never throws by itself.
#pragma once
#include <cstddef>
#include <cstdint>

class Text {
public:
    Text() = default;
    Text(const char* zeroTerminated);
    Text(const char* bytes, size_t length);
    Text(const Text& other);
    Text(Text&& other) noexcept;
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    ~Text();

    // Makes a text of `length` bytes with undefined content, or returns false
    // when the memory can't be had (the caller decides how that fails).
    bool TryResize(size_t length);
    void Resize(size_t length);

    size_t Length() const { return length_; }
    bool Empty() const { return length_ == 0; }
    char* Data() { return data_ ? data_ : emptyBuffer(); }
    const char* Data() const { return data_ ? data_ : emptyBuffer(); }
    // Always zero-terminated, for the platform's C-string interfaces.
    const char* CStr() const { return Data(); }
    char operator[](size_t i) const { return data_[i]; }
    char Last() const { return data_[length_ - 1]; }

    Text& Append(const char* bytes, size_t length);
    Text& Append(const Text& other) { return Append(other.Data(), other.length_); }
    Text& Append(const char* zeroTerminated);
    Text& Append(char c) { return Append(&c, 1); }

    // Characters [start, start + count), clipped to the text.
    Text Sub(size_t start, size_t count = SIZE_MAX) const;
    // 0-based position of the first occurrence of `needle`, or SIZE_MAX.
    size_t Find(const char* needle, size_t needleLength, size_t from = 0) const;
    size_t Find(char c, size_t from = 0) const { return Find(&c, 1, from); }
    bool StartsWith(char c) const { return length_ > 0 && data_[0] == c; }
    bool EndsWith(char c) const { return length_ > 0 && data_[length_ - 1] == c; }

    bool operator==(const Text& other) const;
    bool operator!=(const Text& other) const { return !(*this == other); }
    bool operator==(const char* zeroTerminated) const;

private:
    static char* emptyBuffer();
    char* data_ = nullptr;
    size_t length_ = 0;
};

Text operator+(const Text& a, const Text& b);

static constexpr size_t kNotFound = SIZE_MAX;

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Position of the last backslash or colon, or kNotFound: the split between
// the directory part and the file-name part of a path.
size_t LastPathSeparator(const Text& path);
Text DirectoryPart(const Text& path);
Text FileNamePart(const Text& path);
