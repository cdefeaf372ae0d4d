#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "lzh/huffman_model.h"

namespace {

using lzh::HuffmanModel;

std::string CodeOf(const HuffmanModel& model, int symbol) {
    lzh::SymbolCode code = lzh::EncodeSymbol(model, symbol);
    std::string bits;
    for (int i = code.length - 1; i >= 0; --i) bits += (code.bits >> i & 1) ? '1' : '0';
    return bits;
}

void ExpectInvariants(const HuffmanModel& m) {
    for (int n = 0; n + 1 < lzh::NodeCount; ++n) ASSERT_LE(m.Freq[n], m.Freq[n + 1]) << "node " << n;
    for (int n = 0; n < lzh::NodeCount; ++n) {
        unsigned child = m.Child[n];
        if (child < lzh::NodeCount) {
            ASSERT_LT(child + 1, static_cast<unsigned>(n));
            ASSERT_EQ(m.Freq[n], m.Freq[child] + m.Freq[child + 1]);
            ASSERT_EQ(m.Parent[child], n);
            ASSERT_EQ(m.Parent[child + 1], n);
        } else {
            ASSERT_EQ(m.Parent[child], n);
            ASSERT_GE(m.Freq[n], 1);
        }
    }
    ASSERT_EQ(m.Freq[lzh::NodeCount], 0xFFFF);
    ASSERT_EQ(m.Child[lzh::RootNode], 624);
}

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override { lzh::ResetModel(m); }
    std::unique_ptr<HuffmanModel> owned{new HuffmanModel};
    HuffmanModel& m = *owned;
};

TEST_F(ModelTest, StartStateCodes) {
    EXPECT_EQ(CodeOf(m, 0), "110001100");
    EXPECT_EQ(CodeOf(m, 116), "00000000");
    EXPECT_EQ(CodeOf(m, 255), "10001011");
    EXPECT_EQ(CodeOf(m, 256), "10001100");
    EXPECT_EQ(CodeOf(m, 313), "11000101");
    int eightBit = 0;
    for (int s = 0; s < lzh::SymbolCount; ++s) eightBit += CodeOf(m, s).size() == 8;
    EXPECT_EQ(eightBit, 198);
    ExpectInvariants(m);
}

TEST_F(ModelTest, RepeatedSymbolGetsShorterCodes) {
    const struct {
        int updates;
        size_t length;
    } steps[] = {{1, 8}, {2, 7}, {4, 6}, {8, 5}, {16, 4}, {32, 3}, {64, 2}, {185, 1}};
    int done = 0;
    for (const auto& step : steps) {
        for (; done < step.updates; ++done) {
            lzh::UpdateModel(m, 65);
            ExpectInvariants(m);
        }
        EXPECT_EQ(CodeOf(m, 65).size(), step.length) << "after " << step.updates << " updates";
    }
    EXPECT_EQ(CodeOf(m, 65), "0");
    EXPECT_EQ(m.Freq[m.Parent[lzh::NodeCount + 65]], 186);
}

TEST_F(ModelTest, RebuildHalvesWeightsAtTheRootLimit) {
    for (int i = 0; i < 32454; ++i) lzh::UpdateModel(m, i % lzh::SymbolCount);
    EXPECT_EQ(m.Freq[lzh::RootNode], 0x8000);
    lzh::UpdateModel(m, 32454 % lzh::SymbolCount);
    EXPECT_EQ(m.Freq[lzh::RootNode], 16441);
    ExpectInvariants(m);
    for (int s = 0; s < lzh::SymbolCount; ++s) {
        unsigned weight = m.Freq[m.Parent[lzh::NodeCount + s]];
        EXPECT_TRUE(weight == 52 || weight == 53) << "symbol " << s << " weighs " << weight;
    }
}

TEST_F(ModelTest, LightLeafKeepsWeightOneThroughRebuilds) {
    for (int i = 0; i < 100000; ++i) lzh::UpdateModel(m, i % 7);
    ExpectInvariants(m);
    EXPECT_EQ(m.Freq[m.Parent[lzh::NodeCount + 300]], 1);
}

// The decoder's update, which climbs the nodes its walk passed until one
// moves, leaves the same tree as the update that follows Parent: on skewed
// symbols (moves near the leaf and above it) across several rebuilds.
TEST_F(ModelTest, UpdateAlongTheWalkLeavesTheSameTree) {
    std::unique_ptr<HuffmanModel> walked{new HuffmanModel};
    lzh::ResetModel(*walked);
    std::mt19937 random(7);
    std::geometric_distribution<int> skewed(0.02);
    uint16_t walk[lzh::NodeCount];
    for (int i = 0; i < 120000; ++i) {
        int symbol = skewed(random) % lzh::SymbolCount;
        unsigned depth = 0;
        for (unsigned n = walked->Parent[lzh::NodeCount + symbol]; n != lzh::RootNode; n = walked->Parent[n])
            ++depth;
        unsigned place = depth;
        for (unsigned n = walked->Parent[lzh::NodeCount + symbol]; n != lzh::RootNode; n = walked->Parent[n])
            walk[--place] = static_cast<uint16_t>(n);

        lzh::UpdateModel(m, symbol);
        lzh::UpdateModelAlongWalk(*walked, symbol, walk, depth);
        ASSERT_EQ(memcmp(m.Freq, walked->Freq, sizeof m.Freq), 0) << "after symbol " << i;
        ASSERT_EQ(memcmp(m.Child, walked->Child, sizeof m.Child), 0) << "after symbol " << i;
        ASSERT_EQ(memcmp(m.Parent, walked->Parent, sizeof m.Parent), 0) << "after symbol " << i;
    }
    ExpectInvariants(*walked);
}

}  // namespace
