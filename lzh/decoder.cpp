// The decoding loop. Bits are read as the format's reader reads them: a
// 16-bit buffer refilled one byte at a time whenever it holds 8 bits or
// fewer, so that the two end tests see exactly the buffer states they are
// defined on. (A reader that refills only below 8 bits decodes one symbol
// too many from the end marker of a stream whose last code ends on a byte
// boundary while the root's bit-1 child is a leaf.)
//
// Most codes are far from the end of the input block, where no end test can
// fire; those are decoded straight from the block with a 64-bit window on
// the bits, and the 16-bit reader state is derived again before the block's
// last bytes, so both ways give the same bytes and the same read calls.
#include <cstring>

#include "base/memory.h"
#include "lzh/block_io.h"
#include "lzh/huffman_model.h"

namespace lzh {

namespace {

struct DecoderState {
    HuffmanModel model;
    DistanceTables distance;
    uint8_t Window[WindowSize];
    unsigned WritePos;
    uint32_t BitBuffer;  // 16 bits used, first bit in bit 15
    unsigned BitCount;
    bool InputExhausted;
    uint8_t* input;
    unsigned InPos;  // bytes of the input block consumed
    unsigned InFill;
    uint8_t* output;
    unsigned OutPos;  // bytes waiting in the output block
};

// A code is at most the tree's depth (22 bits for weights up to 32768) plus
// 14 distance bits; the block must hold this many bytes past a code's start
// for the direct path.
constexpr unsigned kDirectMargin = 16;

class Decoder {
public:
    explicit Decoder(DecoderState& s) : s_(s), m_(s.model) {}

    void Run() {
        for (;;) {
            // The bit buffer may still hold bits of the previous block.
            if (!s_.InputExhausted && s_.InFill >= s_.InPos + kDirectMargin && s_.InPos * 8 >= s_.BitCount) {
                DecodeDirect();
                continue;
            }
            int symbol = DecodeSymbol();
            if (symbol < 0) return;
            Emit(symbol, symbol < FirstLengthSymbol ? 0 : DecodeDistance());
            if (s_.InputExhausted && s_.BitBuffer == 0x8000) return;
        }
    }

    void FlushOutput() {
        uint16_t written;
        gBlockSlots.WriteBlock(s_.output, static_cast<uint16_t>(s_.OutPos), &written);
        s_.OutPos = 0;
    }

private:
    bool NextInputByte(uint8_t* byte) {
        if (s_.InPos >= s_.InFill) {
            uint16_t actual = 0;
            gBlockSlots.ReadBlock(s_.input, gBlockSlots.InputBufferSize, &actual);
            s_.InFill = actual < gBlockSlots.InputBufferSize ? actual : gBlockSlots.InputBufferSize;
            if (s_.InFill == 0) return false;
            s_.InPos = 0;
        }
        *byte = s_.input[s_.InPos++];
        return true;
    }

    void Refill() {
        if (s_.BitCount > 8) return;
        uint8_t byte;
        if (!NextInputByte(&byte)) {
            s_.InputExhausted = true;
            byte = 0;
        }
        s_.BitBuffer = (s_.BitBuffer | static_cast<uint32_t>(byte) << (8 - s_.BitCount)) & 0xFFFF;
        s_.BitCount += 8;
    }

    unsigned ReadBit() {
        Refill();
        unsigned bit = s_.BitBuffer >> 15;
        s_.BitBuffer = (s_.BitBuffer << 1) & 0xFFFF;
        --s_.BitCount;
        return bit;
    }

    unsigned Read8Bits() {
        Refill();
        unsigned bits = s_.BitBuffer >> 8;
        s_.BitBuffer = (s_.BitBuffer << 8) & 0xFFFF;
        s_.BitCount -= 8;
        return bits;
    }

    // Returns -1 where the input has run dry with no 1-bit left: the symbol
    // being walked is abandoned and the stream ends.
    int DecodeSymbol() {
        unsigned n = m_.Child[RootNode];
        while (n < NodeCount) {
            n = m_.Child[n + ReadBit()];
            if (s_.InputExhausted && s_.BitBuffer == 0) return -1;
        }
        int symbol = static_cast<int>(n - NodeCount);
        UpdateModel(m_, symbol);
        return symbol;
    }

    unsigned DecodeDistance() {
        unsigned b = Read8Bits();
        unsigned v = b;
        for (int n = s_.distance.codeLength[b] - 2; n > 0; --n) v = (2 * v + ReadBit()) & 0xFFFF;
        return s_.distance.high[b] * 64u + (v & 63);
    }

    void PutOutputByte(uint8_t byte) {
        if (s_.OutPos >= gBlockSlots.OutputBufferSize) FlushOutput();
        s_.output[s_.OutPos++] = byte;
        s_.Window[s_.WritePos] = byte;
        s_.WritePos = (s_.WritePos + 1) & WindowMask;
    }

    void Emit(int symbol, unsigned distance) {
        if (symbol < FirstLengthSymbol) {
            PutOutputByte(static_cast<uint8_t>(symbol));
            return;
        }
        // Byte by byte, so a match that overlaps what it writes repeats it.
        unsigned source = (s_.WritePos - distance - 1) & WindowMask;
        for (int k = 0, length = SymbolLength(symbol); k < length; ++k)
            PutOutputByte(s_.Window[(source + k) & WindowMask]);
    }

    // Decodes codes straight from the input block while it holds a margin of
    // bytes (at least one code, since the caller checked the margin), then
    // leaves the reader as the byte-wise reader would be.
    void DecodeDirect() {
        // Output stores may alias anything, so the hot state lives in locals.
        uint8_t* const output = s_.output;
        uint8_t* const window = s_.Window;
        const unsigned outputSize = gBlockSlots.OutputBufferSize;
        unsigned outPos = s_.OutPos, writePos = s_.WritePos;
        auto put = [&](uint8_t byte) {
            if (outPos >= outputSize) {
                s_.OutPos = outPos;
                FlushOutput();
                outPos = 0;
            }
            output[outPos++] = byte;
            window[writePos] = byte;
            writePos = (writePos + 1) & WindowMask;
        };

        uint16_t walk[NodeCount];  // no path is longer than the nodes
        const uint16_t* const childOf[2] = {m_.Child, m_.Child + 1};
        unsigned position = s_.InPos * 8 - s_.BitCount;  // bit position in the block
        const unsigned fill = s_.InFill;
        while ((position >> 3) + kDirectMargin <= fill) {
            uint64_t word;
            memcpy(&word, s_.input + (position >> 3), sizeof word);
            word = __builtin_bswap64(word) << (position & 7);
            unsigned used = 0;
            unsigned n = m_.Child[RootNode];
            while (n < NodeCount) {
                // The bit picks the array's start, so the next load waits
                // only on the one before it.
                unsigned bit = static_cast<unsigned>(word >> 63);
                walk[used++] = static_cast<uint16_t>(n + bit);
                n = childOf[bit][n];
                word <<= 1;
            }
            int symbol = static_cast<int>(n - NodeCount);
            UpdateModelAlongWalk(m_, symbol, walk, used);
            if (symbol < FirstLengthSymbol) {
                put(static_cast<uint8_t>(symbol));
                position += used;
                continue;
            }
            unsigned b = static_cast<unsigned>(word >> 56);
            unsigned extra = s_.distance.codeLength[b] - 2u;
            unsigned low = static_cast<unsigned>((word << 8) >> (64 - extra));
            unsigned distance = s_.distance.high[b] * 64u + (((b << extra) | low) & 63);
            position += used + 8 + extra;
            unsigned source = (writePos - distance - 1) & WindowMask;
            for (int k = 0, length = SymbolLength(symbol); k < length; ++k)
                put(window[(source + k) & WindowMask]);
        }
        s_.OutPos = outPos;
        s_.WritePos = writePos;
        // The last read was a single bit, so the byte-wise reader has fetched
        // every byte up to the one after the current bit's byte.
        s_.InPos = (position + 7) / 8 + 1;
        s_.BitCount = s_.InPos * 8 - position;
        unsigned first = position >> 3;
        uint32_t bits = static_cast<uint32_t>(s_.input[first]) << 8;
        if (first + 1 < s_.InPos) bits |= s_.input[first + 1];
        s_.BitBuffer = (bits << (position & 7)) & 0xFFFF;
    }

    DecoderState& s_;
    HuffmanModel& m_;
};

}  // namespace

void Decompress() {
    if (gBlockSlots.InputBufferSize == 0) gBlockSlots.InputBufferSize = DefaultBufferSize;
    if (gBlockSlots.OutputBufferSize == 0) gBlockSlots.OutputBufferSize = DefaultBufferSize;
    DecoderState* state = static_cast<DecoderState*>(AllocateOrFail(sizeof(DecoderState)));
    uint8_t* input = static_cast<uint8_t*>(AllocateOrFail(gBlockSlots.InputBufferSize));
    uint8_t* output = static_cast<uint8_t*>(AllocateOrFail(gBlockSlots.OutputBufferSize));
    memset(state, 0, sizeof *state);
    BuildDistanceTables(state->distance);
    state->input = input;
    state->output = output;
    ResetModel(state->model);
    memset(state->Window, PrefillByte, PrefillLength);
    state->WritePos = PrefillLength;

    Decoder decoder(*state);
    decoder.Run();
    decoder.FlushOutput();

    Release(output);
    Release(input);
    Release(state);
}

}  // namespace lzh
