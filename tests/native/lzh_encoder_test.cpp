#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "lzh/block_io.h"
#include "lzh/encoder.h"
#include "tests/native/lzh_harness.h"
#include "tests/native/reference_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const lzh::EncoderSettings kLevels[] = {lzh::kFast, lzh::kDefault, lzh::kBest};

// Every stream must give back its input with the shipped decoder and with
// both readers of the plain one.
void ExpectRoundTrip(const Bytes& input, const std::string& what) {
    for (const lzh::EncoderSettings& level : kLevels) {
        Bytes stream = lzh::Compress(input.data(), input.size(), level);
        std::string where = what + ", parse " + std::to_string(level.parse);
        ASSERT_EQ(DecodeThroughSlots(stream).output, input) << where;
        ASSERT_EQ(ReferenceDecode(stream, true), input) << where << ", guarded reader";
        ASSERT_EQ(ReferenceDecode(stream, false), input) << where << ", reader without the guard";
    }
}

Bytes RandomBytes(size_t size, uint32_t seed, unsigned alphabet = 256) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % alphabet);
    return bytes;
}

TEST(Encoder, EdgeShapesRoundTrip) {
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(4096);
    Bytes distance4095 = RandomBytes(4096, 3);
    distance4095.insert(distance4095.end(), distance4095.begin(), distance4095.begin() + 50);
    Bytes spaces(100, ' ');
    const struct {
        const char* what;
        Bytes input;
    } cases[] = {
        {"empty", {}},
        {"one byte", {'x'}},
        {"two bytes", {0, 255}},
        {"spaces, found in the prefill", spaces},
        {"a run longer than 60", Bytes(1000, 'A')},
        {"a run of zeros", Bytes(70000, 0)},
        {"longer than the window", RandomBytes(20000, 1, 4)},
        {"incompressible", RandomBytes(50000, 2)},
        {"a match at distance 4095", distance4095},
        {"past the tree rebuild", RandomBytes(120000, 4, 16)},
    };
    for (const auto& c : cases) ExpectRoundTrip(c.input, c.what);
}

// Long runs of one symbol make the root's bit-1 child a leaf: the shape in
// which a stream ending on a byte boundary needs its tail written again.
// Past about 19,000 bytes the 60-byte match symbol outweighs the rest.
TEST(Encoder, EndsReadAlikeWhereTheMarkerCouldCompleteASymbol) {
    for (size_t length = 20000; length < 20100; ++length) {
        ExpectRoundTrip(Bytes(length, 'A'), "run of " + std::to_string(length));
    }
    for (size_t length = 1; length < 1200; length += 7) {
        Bytes mixed(length, 'B');
        mixed[length / 2] = 'C';
        ExpectRoundTrip(mixed, "run with a break, " + std::to_string(length));
    }
}

TEST(Encoder, RealFilesRoundTrip) {
    for (const char* path : {"/usr/include/stdio.h", "/usr/include/x86_64-linux-gnu/bits/stdio2.h",
                             "/usr/lib/x86_64-linux-gnu/libc.so.6"}) {
        std::ifstream in(path, std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.empty()) continue;
        if (bytes.size() > 300000) bytes.resize(300000);
        ExpectRoundTrip(bytes, path);
    }
}

TEST(Encoder, OutputReachesTheSinkInFullBlocks) {
    lzh::SetOutputBufferSize(4096);
    Bytes input = RandomBytes(10000, 9, 8);
    DecodeRun run = DecodeThroughSlots(lzh::Compress(input.data(), input.size(), lzh::kDefault));
    EXPECT_EQ(run.writeCounts, (std::vector<uint16_t>{4096, 4096, 1808}));
    input.resize(8192);
    run = DecodeThroughSlots(lzh::Compress(input.data(), input.size(), lzh::kDefault));
    EXPECT_EQ(run.writeCounts, (std::vector<uint16_t>{4096, 4096}));
}

TEST(Encoder, SlowReadsGiveTheSameBytes) {
    Bytes input = RandomBytes(30000, 11, 5);
    Bytes stream = lzh::Compress(input.data(), input.size(), lzh::kBest);
    lzh::SetInputBufferSize(4096);
    EXPECT_EQ(DecodeThroughSlots(stream, 1).output, input);
    EXPECT_EQ(DecodeThroughSlots(stream, 600, 5).output, input);
    lzh::SetInputBufferSize(16);
    EXPECT_EQ(DecodeThroughSlots(stream).output, input);
    lzh::SetInputBufferSize(4096);
}

TEST(Encoder, HigherLevelsAreNotLarger) {
    Bytes input;
    std::ifstream in("/usr/include/stdio.h", std::ios::binary);
    input.assign(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(input.empty());
    size_t fast = lzh::Compress(input.data(), input.size(), lzh::kFast).size();
    size_t normal = lzh::Compress(input.data(), input.size(), lzh::kDefault).size();
    size_t best = lzh::Compress(input.data(), input.size(), lzh::kBest).size();
    EXPECT_LE(normal, fast);
    EXPECT_LT(best, normal);
    EXPECT_LT(best, input.size() / 2);
}

}  // namespace
