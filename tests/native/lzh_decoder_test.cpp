#include <gtest/gtest.h>

#include <random>

#include <memory>

#include "lzh/block_io.h"
#include "lzh/huffman_model.h"
#include "tests/native/lzh_harness.h"
#include "tests/native/reference_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Repeat(std::initializer_list<uint8_t> unit, int times) {
    Bytes all;
    for (int i = 0; i < times; ++i) all.insert(all.end(), unit);
    return all;
}

struct StreamCase {
    const char* what;
    Bytes stream;
    Bytes output;
};

const StreamCase kStreamCases[] = {
    {"no input", {}, {}},
    {"end marker alone", {0x80}, {}},
    {"ends by the walk test", {0xE6, 0xC0}, {0x41}},
    {"ends by the loop test", {0xE6, 0xF3, 0xB9, 0xF0}, {0x41, 0x42, 0x43}},
    {"60-byte match at distance 0", {0xE6, 0xF3, 0x40, 0x10}, Bytes(61, 0x41)},
    {"overlapping match at distance 1", {0xE6, 0xF3, 0xA4, 0xC0, 0x30}, Repeat({0x41, 0x42}, 6)},
    {"first code copies the prefill", {0x8C, 0x00, 0x40}, {0x20, 0x20, 0x20}},
    {"distance 4095 reaches the zeroed end", {0x8E, 0xFF, 0xFE}, Bytes(5, 0x00)},
    {"zero byte", {0x00}, {}},
    {"all-ones byte", {0xFF}, {}},
};

class StreamVectors : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamVectors, DecodeAsTheFormatSays) {
    const StreamCase& c = GetParam();
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(4096);
    EXPECT_EQ(DecodeThroughSlots(c.stream).output, c.output);
    EXPECT_EQ(DecodeThroughSlots(c.stream, 1).output, c.output) << "one byte per read";
    EXPECT_EQ(ReferenceDecode(c.stream, true), c.output);
    EXPECT_EQ(ReferenceDecode(c.stream, false), c.output);
}

INSTANTIATE_TEST_SUITE_P(Format, StreamVectors, ::testing::ValuesIn(kStreamCases));

// Literal 'A's, written with the tree's own codes until one more 'A' both
// outweighs every other symbol (so the root's bit-1 child is its leaf) and
// ends on a byte boundary; then the end marker.
Bytes LiteralsEndingOnTheMarkerCase(size_t* literals) {
    auto model = std::make_unique<lzh::HuffmanModel>();
    lzh::ResetModel(*model);
    Bytes stream;
    uint64_t bitCount = 0;
    unsigned pending = 0;
    auto put = [&](uint32_t bits, int length) {
        for (int i = length - 1; i >= 0; --i, ++bitCount) {
            pending = pending << 1 | (bits >> i & 1);
            if (bitCount % 8 == 7) stream.push_back(static_cast<uint8_t>(pending));
        }
    };
    for (*literals = 0; *literals < 400 || bitCount % 8 != 0 || model->Child[lzh::RootNode - 1] < lzh::NodeCount;
         ++*literals) {
        lzh::SymbolCode code = lzh::EncodeSymbol(*model, 'A');
        put(code.bits, code.length);
        lzh::UpdateModel(*model, 'A');
    }
    put(1, 1);
    while (bitCount % 8) put(0, 1);
    EXPECT_EQ(stream.back(), 0x80);
    return stream;
}

TEST(EndMarker, GuardedReaderStopsAtTheLastCodedByte) {
    size_t literals = 0;
    Bytes stream = LiteralsEndingOnTheMarkerCase(&literals);
    Bytes expected(literals, 'A');
    EXPECT_EQ(ReferenceDecode(stream, false).size(), literals + 1) << "the field's reader adds one 'A'";
    EXPECT_EQ(ReferenceDecode(stream, true), expected);
    EXPECT_EQ(DecodeThroughSlots(stream).output, expected);
    EXPECT_EQ(DecodeThroughSlots(stream, 1).output, expected);
}


// The upper six bits of a distance from the next 8 bits of the stream:
// consecutive codes, lengths rising by range.
TEST(DistanceTables, GiveTheUpperBitsAndTheirCodeLength) {
    lzh::DistanceTables tables;
    lzh::BuildDistanceTables(tables);
    const struct {
        unsigned firstByte, lastByte, firstUpper, length;
    } ranges[] = {{0x00, 0x1F, 0, 3},  {0x20, 0x4F, 1, 4},  {0x50, 0x8F, 4, 5},
                  {0x90, 0xBF, 12, 6}, {0xC0, 0xEF, 24, 7}, {0xF0, 0xFF, 48, 8}};
    for (const auto& range : ranges) {
        for (unsigned b = range.firstByte; b <= range.lastByte; ++b) {
            EXPECT_EQ(tables.codeLength[b], range.length) << "byte " << b;
            EXPECT_EQ(tables.high[b], range.firstUpper + ((b - range.firstByte) >> (8 - range.length))) << "byte " << b;
        }
    }
}

TEST(BufferSizes, AreClampedToTheirRange) {
    const struct {
        uint16_t asked, stored;
    } cases[] = {{0, 16}, {15, 16}, {16, 16}, {4096, 4096}, {32768, 32768}, {32769, 32768}, {65535, 32768}};
    for (const auto& c : cases) {
        lzh::SetInputBufferSize(c.asked);
        lzh::SetOutputBufferSize(c.asked);
        EXPECT_EQ(lzh::gBlockSlots.InputBufferSize, c.stored);
        EXPECT_EQ(lzh::gBlockSlots.OutputBufferSize, c.stored);
    }
}

TEST(OutputBlocks, FullBlocksThenTheRestThroughTheFinalFlush) {
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(16);
    DecodeRun run = DecodeThroughSlots({0xE6, 0xF3, 0x40, 0x10});  // 61 bytes
    EXPECT_EQ(run.writeCounts, (std::vector<uint16_t>{16, 16, 16, 13}));
    run = DecodeThroughSlots({0x80});
    EXPECT_EQ(run.writeCounts, (std::vector<uint16_t>{0}));
    lzh::SetOutputBufferSize(12);
    run = DecodeThroughSlots({0xE6, 0xF3, 0xA4, 0xC0, 0x30});  // exactly 12 bytes
    EXPECT_EQ(run.writeCounts, (std::vector<uint16_t>{12})) << "a full last block goes out through the flush";
    lzh::SetOutputBufferSize(4096);
}

TEST(InputBlocks, EachRefillAfterTheEndAsksAgain) {
    lzh::SetInputBufferSize(4096);
    DecodeRun run = DecodeThroughSlots({0xE6, 0xF3, 0xB9, 0xF0});
    EXPECT_EQ(run.output, (Bytes{0x41, 0x42, 0x43}));
    EXPECT_EQ(run.readCalls, 2);
    // "E6": the 'A' needs one bit past the byte, the refill finds nothing,
    // and the walk test ends the stream before another read.
    run = DecodeThroughSlots({0xE6});
    EXPECT_TRUE(run.output.empty());
    EXPECT_EQ(run.readCalls, 2);
}

// Once the read procedure has reported nothing, every further refill asks it
// again: as many calls find nothing as the plain reader has empty refills.
TEST(InputBlocks, EmptyReadsMatchThePlainReader) {
    std::mt19937 random(5);
    for (int i = 0; i < 200; ++i) {
        Bytes stream(random() % 40);
        for (uint8_t& b : stream) b = static_cast<uint8_t>(random());
        int emptyRefills = 0;
        ReferenceDecode(stream, true, &emptyRefills);
        DecodeRun run = DecodeThroughSlots(stream);
        ASSERT_EQ(run.readCallsAfterEnd + 1, emptyRefills) << "stream " << i;
    }
}

// Streams of random bytes decode to something; the fast decoder must give
// exactly the bytes of the plain one, whatever the read sizes.
TEST(FastDecoder, MatchesThePlainDecoderOnRandomStreams) {
    std::mt19937 random(7);
    lzh::SetOutputBufferSize(4096);
    for (int i = 0; i < 300; ++i) {
        Bytes stream(random() % 3000);
        for (uint8_t& b : stream) b = static_cast<uint8_t>(random() % (i % 3 == 0 ? 4 : 256));
        lzh::SetInputBufferSize(static_cast<uint16_t>(16 + random() % 5000));
        Bytes expected = ReferenceDecode(stream, true);
        ASSERT_EQ(DecodeThroughSlots(stream).output, expected) << "stream " << i;
        ASSERT_EQ(DecodeThroughSlots(stream, 97, 1 + i).output, expected) << "stream " << i << ", random reads";
    }
    lzh::SetInputBufferSize(4096);
}

}  // namespace
