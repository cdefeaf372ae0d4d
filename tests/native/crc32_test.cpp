#include <gtest/gtest.h>

#include <string>

#include "base/crc32.h"

namespace {

uint32_t Crc(const std::string& text, uint32_t crc = 0) {
    return UpdateCrc32(crc, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(Crc32, KnownValues) {
    EXPECT_EQ(Crc(""), 0u);
    EXPECT_EQ(Crc("a"), 0xE8B7BE43u);
    EXPECT_EQ(Crc("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc(std::string(32, '\0')), 0x190A55ADu);
}

TEST(Crc32, ContinuesAcrossBlocks) {
    std::string text = "The launcher checks each block as the decoder hands it over.";
    for (size_t split = 0; split <= text.size(); ++split)
        EXPECT_EQ(Crc(text.substr(split), Crc(text.substr(0, split))), Crc(text)) << split;
}

}  // namespace
