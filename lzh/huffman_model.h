// The adaptive Huffman tree shared by the decoder and the encoder: both
// start from the same tree and apply the same update after every symbol.
#pragma once
#include <cstdint>

#include "lzh/lzh_format.h"

namespace lzh {

struct HuffmanModel {
    uint16_t Freq[NodeCount + 1];  // weights, non-decreasing; Freq[627] is the sentinel
    uint16_t Child[NodeCount];     // bit-0 child (bit-1 child next to it), or 627 + symbol for a leaf
    uint16_t Parent[NodeCount + SymbolCount];  // parent of a node; for 627 + symbol, the node of its leaf
    // LastOfWeight[w] is a hint, near the highest node of weight w. Weights
    // are sorted, so that is where an incremented node moves: the update
    // finds it without scanning the whole run of equal weights.
    uint16_t LastOfWeight[MaxFreq + 1];
};

void ResetModel(HuffmanModel& model);
void UpdateModel(HuffmanModel& model, int symbol);
void RebuildTree(HuffmanModel& model);
// Adds one to node n and to every node above it: the update without the
// rebuild.
void IncrementUpwards(HuffmanModel& model, unsigned n);

// The same update for a symbol just decoded: walk[0..depth) are the nodes
// that the decoding walk passed, the root's child first and the leaf last.
// Inline, as it runs once per symbol in the decoder's fast loop.
inline void UpdateModelAlongWalk(HuffmanModel& m, int symbol, const uint16_t* walk, unsigned depth) {
    if (m.Freq[RootNode] == MaxFreq) {
        UpdateModel(m, symbol);
        return;
    }
    // Each node of the walk is the parent of the next, so until a node
    // moves the climb reads the walk: the weights along it are loaded
    // without waiting on Parent, one level after another.
    while (depth > 0) {
        unsigned n = walk[--depth];
        unsigned weight = m.Freq[n];
        if (m.Freq[n + 1] == weight) {
            IncrementUpwards(m, n);
            return;
        }
        m.Freq[n] = static_cast<uint16_t>(weight + 1);
    }
    ++m.Freq[RootNode];  // the root never moves: the sentinel above it is heavier
}

// The code of a symbol in the current tree, first bit in the highest of the
// `length` low bits.
struct SymbolCode {
    uint32_t bits;
    int length;
};
SymbolCode EncodeSymbol(const HuffmanModel& model, int symbol);

}  // namespace lzh
