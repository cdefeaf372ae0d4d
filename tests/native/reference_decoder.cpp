#include "tests/native/reference_decoder.h"

#include <cstring>

namespace {

struct ECompress {};

struct Reference {
    const std::vector<uint8_t>& in;
    bool guarded;
    size_t next = 0;
    uint16_t Freq[628], Child[627], Parent[941];
    uint8_t Window[4096];
    unsigned WritePos = 4036;
    uint16_t BitBuffer = 0;
    unsigned BitCount = 0;
    bool InputExhausted = false;
    int emptyRefills = 0;
    std::vector<uint8_t> out;

    Reference(const std::vector<uint8_t>& input, bool guard) : in(input), guarded(guard) {}

    void ResetModel() {
        for (int s = 0; s < 314; ++s) {
            Freq[s] = 1;
            Child[s] = static_cast<uint16_t>(627 + s);
            Parent[627 + s] = static_cast<uint16_t>(s);
        }
        for (int n = 314, i = 0; n < 627; ++n, i += 2) {
            Freq[n] = static_cast<uint16_t>(Freq[i] + Freq[i + 1]);
            Child[n] = static_cast<uint16_t>(i);
            Parent[i] = Parent[i + 1] = static_cast<uint16_t>(n);
        }
        Freq[627] = 0xFFFF;
        Parent[626] = 0;
    }

    void RebuildTree() {
        int j = 0;
        for (int n = 0; n < 627; ++n) {
            if (Child[n] >= 627) {
                Freq[j] = static_cast<uint16_t>((Freq[n] + 1) / 2);
                Child[j] = Child[n];
                ++j;
            }
        }
        for (int n = 314, i = 0; n < 627; ++n, i += 2) {
            unsigned f = Freq[i] + Freq[i + 1];
            int m = n - 1;
            while (f < Freq[m]) --m;
            m = m + 1;
            memmove(&Freq[m + 1], &Freq[m], (n - m) * sizeof Freq[0]);
            memmove(&Child[m + 1], &Child[m], (n - m) * sizeof Child[0]);
            Freq[m] = static_cast<uint16_t>(f);
            Child[m] = static_cast<uint16_t>(i);
        }
        for (int n = 0; n < 627; ++n) {
            unsigned a = Child[n];
            Parent[a] = static_cast<uint16_t>(n);
            if (a < 627) Parent[a + 1] = static_cast<uint16_t>(n);
        }
    }

    void UpdateModel(int s) {
        if (Freq[626] == 0x8000) RebuildTree();
        unsigned n = Parent[627 + s];
        do {
            uint16_t k = static_cast<uint16_t>(Freq[n] + 1);
            Freq[n] = k;
            if (Freq[n + 1] < k) {
                unsigned l = n + 1;
                while (Freq[l] < k) ++l;
                --l;
                Freq[n] = Freq[l];
                Freq[l] = k;
                unsigned a = Child[n];
                Parent[a] = static_cast<uint16_t>(l);
                if (a < 627) Parent[a + 1] = static_cast<uint16_t>(l);
                unsigned b = Child[l];
                Child[l] = static_cast<uint16_t>(a);
                Parent[b] = static_cast<uint16_t>(n);
                if (b < 627) Parent[b + 1] = static_cast<uint16_t>(n);
                Child[n] = static_cast<uint16_t>(b);
                n = l;
            }
            n = Parent[n];
        } while (n != 0);
    }

    void Refill() {
        if (BitCount < 8 || (guarded && BitCount == 8)) {
            unsigned byte = 0;
            if (next < in.size()) byte = in[next++];
            else {
                InputExhausted = true;
                ++emptyRefills;
            }
            BitBuffer = static_cast<uint16_t>(BitBuffer | byte << (8 - BitCount));
            BitCount += 8;
        }
    }
    unsigned ReadBit() {
        Refill();
        unsigned bit = BitBuffer >> 15;
        BitBuffer = static_cast<uint16_t>(BitBuffer << 1);
        --BitCount;
        return bit;
    }
    unsigned Read8Bits() {
        Refill();
        unsigned bits = BitBuffer >> 8;
        BitBuffer = static_cast<uint16_t>(BitBuffer << 8);
        BitCount -= 8;
        return bits;
    }

    int DecodeSymbol() {
        unsigned n = Child[626];
        while (n < 627) {
            n = Child[n + ReadBit()];
            if (InputExhausted && BitBuffer == 0) throw ECompress{};
        }
        int s = static_cast<int>(n - 627);
        UpdateModel(s);
        return s;
    }

    // The distance tables, built from the code's ranges as the format lists them.
    unsigned DecodeDistance() {
        static const int rangeEnd[] = {1, 4, 12, 24, 48, 64};
        unsigned b = Read8Bits();
        unsigned code = 0, u = 0, length = 3;
        for (int r = 0; r < 6; ++r, ++length, code <<= 1) {
            for (; u < static_cast<unsigned>(rangeEnd[r]); ++u, ++code) {
                if ((b >> (8 - length)) == code) goto found;
            }
        }
    found:
        unsigned v = b;
        for (unsigned n = length - 2; n > 0; --n) v = static_cast<uint16_t>(2 * v + ReadBit());
        return u * 64 + (v % 64);
    }

    void Put(uint8_t c) {
        out.push_back(c);
        Window[WritePos] = c;
        WritePos = (WritePos + 1) % 4096;
    }

    void Run() {
        ResetModel();
        memset(Window, 0, sizeof Window);
        memset(Window, 0x20, 4036);
        try {
            for (;;) {
                int s = DecodeSymbol();
                if (s < 256) {
                    Put(static_cast<uint8_t>(s));
                } else {
                    unsigned d = DecodeDistance();
                    unsigned source = (WritePos - d - 1) % 4096;
                    for (int k = 0; k < s - 253; ++k) Put(Window[(source + k) % 4096]);
                }
                if (InputExhausted && BitBuffer == 0x8000) break;
            }
        } catch (const ECompress&) {
        }
    }
};

}  // namespace

std::vector<uint8_t> ReferenceDecode(const std::vector<uint8_t>& stream, bool guarded, int* emptyRefills) {
    Reference reference(stream, guarded);
    reference.Run();
    if (emptyRefills) *emptyRefills = reference.emptyRefills;
    return reference.out;
}
