// A catalog source over bytes in memory: the builder's and the tests' view
// of an archive file.
#pragma once
#include <cstring>

#include "archive/catalog_reader.h"

class MemorySource final : public CatalogSource {
public:
    MemorySource(const uint8_t* bytes, uint64_t size) : bytes_(bytes), size_(size) {}

    bool Read(void* buffer, uint32_t count) override {
        if (position_ > size_ || count > size_ - position_) {
            position_ = size_;
            return false;
        }
        if (count) memcpy(buffer, bytes_ + position_, count);
        position_ += count;
        return true;
    }
    bool Seek(uint64_t position) override {
        position_ = position;
        return true;
    }
    uint64_t Position() override { return position_; }
    uint64_t Size() override { return size_; }

private:
    const uint8_t* bytes_;
    uint64_t size_;
    uint64_t position_ = 0;
};
