#include "base/text.h"

#include <cstring>

#include "base/memory.h"

char* Text::emptyBuffer() {
    static char empty[1] = {0};
    return empty;
}

Text::Text(const char* zeroTerminated) : Text(zeroTerminated, strlen(zeroTerminated)) {}

Text::Text(const char* bytes, size_t length) {
    Resize(length);
    if (length) memcpy(data_, bytes, length);
}

Text::Text(const Text& other) : Text(other.Data(), other.length_) {}

Text::Text(Text&& other) noexcept : data_(other.data_), length_(other.length_) {
    other.data_ = nullptr;
    other.length_ = 0;
}

Text& Text::operator=(const Text& other) {
    if (this != &other) {
        Text copy(other);
        *this = static_cast<Text&&>(copy);
    }
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        Release(data_);
        data_ = other.data_;
        length_ = other.length_;
        other.data_ = nullptr;
        other.length_ = 0;
    }
    return *this;
}

Text::~Text() { Release(data_); }

bool Text::TryResize(size_t length) {
    if (length == SIZE_MAX) return false;
    char* grown = static_cast<char*>(TryReallocate(data_, length + 1));
    if (!grown) return false;
    data_ = grown;
    length_ = length;
    data_[length] = 0;
    return true;
}

void Text::Resize(size_t length) {
    char* grown = static_cast<char*>(ReallocateOrFail(data_, length + 1));
    data_ = grown;
    length_ = length;
    data_[length] = 0;
}

Text& Text::Append(const char* bytes, size_t length) {
    size_t old = length_;
    Resize(old + length);
    if (length) memmove(data_ + old, bytes, length);
    return *this;
}

Text& Text::Append(const char* zeroTerminated) { return Append(zeroTerminated, strlen(zeroTerminated)); }

Text Text::Sub(size_t start, size_t count) const {
    if (start >= length_) return Text();
    size_t available = length_ - start;
    return Text(data_ + start, count < available ? count : available);
}

size_t Text::Find(const char* needle, size_t needleLength, size_t from) const {
    if (needleLength == 0 || needleLength > length_) return kNotFound;
    for (size_t i = from; i + needleLength <= length_; ++i) {
        if (memcmp(data_ + i, needle, needleLength) == 0) return i;
    }
    return kNotFound;
}

bool Text::operator==(const Text& other) const {
    return length_ == other.length_ && memcmp(Data(), other.Data(), length_) == 0;
}

bool Text::operator==(const char* zeroTerminated) const {
    return length_ == strlen(zeroTerminated) && memcmp(Data(), zeroTerminated, length_) == 0;
}

Text operator+(const Text& a, const Text& b) {
    Text sum(a);
    return static_cast<Text&&>(sum.Append(b));
}

size_t LastPathSeparator(const Text& path) {
    for (size_t i = path.Length(); i > 0; --i) {
        if (path[i - 1] == '\\' || path[i - 1] == ':') return i - 1;
    }
    return kNotFound;
}

Text DirectoryPart(const Text& path) {
    size_t split = LastPathSeparator(path);
    return split == kNotFound ? Text() : path.Sub(0, split + 1);
}

Text FileNamePart(const Text& path) {
    size_t split = LastPathSeparator(path);
    return split == kNotFound ? path : path.Sub(split + 1);
}
