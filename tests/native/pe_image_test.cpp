#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pack/pe_image.h"

namespace {

[[maybe_unused]] std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class LauncherImageTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
#ifndef SFX_LAUNCHER_DIR
        GTEST_SKIP() << "the launchers were not built with this configuration";
#else
        image_ = ReadFile(std::string(SFX_LAUNCHER_DIR) + "/" + GetParam());
        if (image_.empty()) GTEST_SKIP() << GetParam() << " is not built";
#endif
    }
    std::vector<uint8_t> image_;
};

TEST_P(LauncherImageTest, StringOneHoldsTheImageLength) {
    StringResourceSlot slot;
    ASSERT_TRUE(FindStringResource(image_.data(), image_.size(), kArchiveOffsetString, &slot));
    char digits[16];
    ASSERT_TRUE(ReadAsciiString(image_.data(), slot, digits, sizeof digits));
    EXPECT_EQ(std::string(digits), std::string(9 - std::to_string(image_.size()).size(), '0') +
                                        std::to_string(image_.size()));
}

TEST_P(LauncherImageTest, EveryCutImageIsRefusedOrStaysInBounds) {
    for (size_t size = 0; size < image_.size(); size += size < 4096 ? 1 : 61) {
        StringResourceSlot slot;
        if (FindStringResource(image_.data(), size, kArchiveOffsetString, &slot)) {
            EXPECT_LE(slot.offset + 2 * slot.length, size);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLaunchers, LauncherImageTest,
                         ::testing::Values("launcher-i686.exe", "launcher-x86_64.exe"));

TEST(WriteDecimalString, FillsTheSlotWithLeadingZeros) {
    std::vector<uint8_t> bytes(18, 0xEE);
    StringResourceSlot slot{0, 9};
    ASSERT_TRUE(WriteDecimalString(bytes.data(), slot, 47616));
    char digits[10];
    ASSERT_TRUE(ReadAsciiString(bytes.data(), slot, digits, sizeof digits));
    EXPECT_STREQ(digits, "000047616");
    EXPECT_FALSE(WriteDecimalString(bytes.data(), slot, 1000000000));
}

}  // namespace
