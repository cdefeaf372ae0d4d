#include "lzh/huffman_model.h"

#include <cstring>

namespace lzh {

static void IndexWeights(HuffmanModel& m) {
    for (int n = 0; n < NodeCount; ++n) m.LastOfWeight[m.Freq[n]] = static_cast<uint16_t>(n);
}

void ResetModel(HuffmanModel& m) {
    memset(m.LastOfWeight, 0, sizeof m.LastOfWeight);
    for (int s = 0; s < SymbolCount; ++s) {
        m.Freq[s] = 1;
        m.Child[s] = static_cast<uint16_t>(NodeCount + s);
        m.Parent[NodeCount + s] = static_cast<uint16_t>(s);
    }
    for (int n = SymbolCount, i = 0; n < NodeCount; ++n, i += 2) {
        m.Freq[n] = static_cast<uint16_t>(m.Freq[i] + m.Freq[i + 1]);
        m.Child[n] = static_cast<uint16_t>(i);
        m.Parent[i] = m.Parent[i + 1] = static_cast<uint16_t>(n);
    }
    m.Freq[NodeCount] = SentinelWeight;
    m.Parent[RootNode] = 0;
    IndexWeights(m);
}

void RebuildTree(HuffmanModel& m) {
    int j = 0;
    for (int n = 0; n < NodeCount; ++n) {
        if (m.Child[n] >= NodeCount) {
            m.Freq[j] = static_cast<uint16_t>((m.Freq[n] + 1) / 2);
            m.Child[j] = m.Child[n];
            ++j;
        }
    }
    for (int n = SymbolCount, i = 0; n < NodeCount; ++n, i += 2) {
        unsigned f = m.Freq[i] + m.Freq[i + 1];
        int place = n - 1;
        while (f < m.Freq[place]) --place;
        ++place;
        for (int k = n; k > place; --k) {
            m.Freq[k] = m.Freq[k - 1];
            m.Child[k] = m.Child[k - 1];
        }
        m.Freq[place] = static_cast<uint16_t>(f);
        m.Child[place] = static_cast<uint16_t>(i);
    }
    for (int n = 0; n < NodeCount; ++n) {
        unsigned a = m.Child[n];
        m.Parent[a] = static_cast<uint16_t>(n);
        if (a < NodeCount) m.Parent[a + 1] = static_cast<uint16_t>(n);
    }
    IndexWeights(m);
}

// Node n is about to weigh one more but is not the last node of its weight:
// its subtree changes places with that of the last one, l, past the nodes
// that the increment leaves lighter than it. Returns l, which now holds n's
// subtree with the new weight.
static unsigned MoveUp(HuffmanModel& m, unsigned n) {
    unsigned weight = m.Freq[n];
    // The hint is at most a few places off (or stale from a weight that
    // disappeared), so settle it from wherever it points above n.
    unsigned l = n + 1;
    if (m.Freq[n + 2] == weight) {
        l = m.LastOfWeight[weight];
        if (l <= n || l >= NodeCount) l = n + 1;
        while (m.Freq[l] > weight) --l;
        while (m.Freq[l + 1] == weight) ++l;
    }
    m.LastOfWeight[weight] = static_cast<uint16_t>(l - 1);

    // The back links of what hangs below; a leaf has one, written twice
    // (no branch to mispredict on leaf or pair).
    unsigned a = m.Child[n], b = m.Child[l];
    m.Parent[a] = m.Parent[a + (a < NodeCount)] = static_cast<uint16_t>(l);
    m.Child[l] = static_cast<uint16_t>(a);
    m.Parent[b] = m.Parent[b + (b < NodeCount)] = static_cast<uint16_t>(n);
    m.Child[n] = static_cast<uint16_t>(b);
    m.Freq[l] = static_cast<uint16_t>(weight + 1);
    return l;
}

void IncrementUpwards(HuffmanModel& m, unsigned n) {
    do {
        unsigned weight = m.Freq[n];
        if (m.Freq[n + 1] != weight) {
            // Already the last of its weight: the increment keeps the order.
            m.Freq[n] = static_cast<uint16_t>(weight + 1);
        } else {
            n = MoveUp(m, n);
        }
        n = m.Parent[n];
    } while (n != 0);
}

void UpdateModel(HuffmanModel& m, int symbol) {
    if (m.Freq[RootNode] == MaxFreq) RebuildTree(m);
    IncrementUpwards(m, m.Parent[NodeCount + symbol]);
}

SymbolCode EncodeSymbol(const HuffmanModel& m, int symbol) {
    SymbolCode code{0, 0};
    for (unsigned n = m.Parent[NodeCount + symbol]; n != RootNode; n = m.Parent[n]) {
        code.bits |= static_cast<uint32_t>(n - m.Child[m.Parent[n]]) << code.length;
        ++code.length;
    }
    return code;
}

}  // namespace lzh
