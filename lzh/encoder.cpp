// The encoder mirrors the decoder: the same adaptive tree, updated after
// every symbol, gives each symbol's code by a walk from its leaf to the root.
//
// Matches are found with hash chains over the input preceded by the 4096
// bytes that the decoder's window holds at the start (60 zero bytes, then
// 4036 spaces), so a stream may copy from the prefill as well. The priced
// parse runs a shortest-path search over each block of positions, pricing
// literals and lengths with the tree's code lengths at the block's start and
// distances with their fixed code.
//
// Input and output stream through bounded buffers: the input is read into a
// buffer that slides along, keeping the window behind the position, and the
// output is handed on as it grows, but for the stretch at the end that may
// be written again.
#include "lzh/encoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "lzh/huffman_model.h"

namespace lzh {

namespace {

constexpr int kPreamble = WindowSize;
constexpr int kHashBits = 15;
// Chain links are kept for the positions of the last 8192 bytes: a match
// reaches back at most 4096.
constexpr int kChainBits = 13;
// The input buffer: the window behind the position, a priced block ahead of
// it, and room to read in long stretches.
constexpr size_t kInputBuffer = 1 << 18;
// Output is handed on in pieces of about this size.
constexpr size_t kOutputPiece = 1 << 16;
// The priced parse plans blocks of this many positions.
constexpr int kPricedBlock = 8192;

struct Token {
    uint16_t length;    // 1 for a literal
    uint16_t distance;  // 0..4095: the match starts distance + 1 bytes back
};

// Positions count from the start of the prefill: the input begins at
// kPreamble and ends at End().
class MatchFinder {
public:
    MatchFinder(uint64_t size, const ReadInput& read)
        : end_(kPreamble + static_cast<int64_t>(size)), read_(read), bytes_(kInputBuffer),
          prev_(1 << kChainBits), head_(1 << kHashBits, -1) {
        memset(bytes_.data(), PrefillByte, kPreamble);
        memset(bytes_.data(), 0, MaxMatch);
    }

    int64_t End() const { return end_; }
    uint8_t At(int64_t position) const { return bytes_[position - base_]; }

    // Makes [from - WindowSize - 1, upTo) readable; what lies before may go.
    void Load(int64_t from, int64_t upTo) {
        upTo = std::min(upTo, end_);
        if (upTo <= loaded_) return;
        if (upTo - base_ > static_cast<int64_t>(bytes_.size())) {
            int64_t keep = std::max(base_, from - WindowSize - 1);
            memmove(bytes_.data(), bytes_.data() + (keep - base_), static_cast<size_t>(loaded_ - keep));
            base_ = keep;
        }
        int64_t target = std::min(end_, base_ + static_cast<int64_t>(bytes_.size()));
        while (loaded_ < target) {
            size_t got = read_(bytes_.data() + (loaded_ - base_), static_cast<size_t>(target - loaded_));
            if (got == 0) throw std::runtime_error("the input ended before its stated size");
            loaded_ += static_cast<int64_t>(got);
        }
    }

    // Positions before `position` become candidates.
    void InsertUpTo(int64_t position) {
        for (; inserted_ < position && inserted_ + MinMatch <= end_; ++inserted_) {
            unsigned h = Hash(inserted_);
            prev_[inserted_ & kChainMask] = head_[h];
            head_[h] = inserted_;
        }
    }

    // Calls onMatch(length, distance) each time a nearer-to-farther walk of
    // the chain finds a longer match; returns the longest length.
    template <class OnMatch>
    int Find(int64_t position, int chainLimit, OnMatch onMatch) const {
        int maxLength = end_ - position < MaxMatch ? static_cast<int>(end_ - position) : MaxMatch;
        if (maxLength < MinMatch) return 0;
        int best = MinMatch - 1;
        const uint8_t* here = bytes_.data() + (position - base_);
        for (int64_t candidate = head_[Hash(position)]; candidate >= 0 && chainLimit-- > 0;
             candidate = prev_[candidate & kChainMask]) {
            if (position - candidate > WindowSize) break;
            const uint8_t* there = bytes_.data() + (candidate - base_);
            if (there[best] != here[best] || there[0] != here[0]) continue;
            int length = 0;
            while (length < maxLength && there[length] == here[length]) ++length;
            if (length > best) {
                best = length;
                onMatch(length, static_cast<int>(position - candidate - 1));
                if (length == maxLength) break;
            }
        }
        return best >= MinMatch ? best : 0;
    }

private:
    static constexpr int64_t kChainMask = (1 << kChainBits) - 1;

    unsigned Hash(int64_t p) const {
        const uint8_t* b = bytes_.data() + (p - base_);
        uint32_t v = b[0] | b[1] << 8 | b[2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const int64_t end_;
    const ReadInput& read_;
    std::vector<uint8_t> bytes_;
    int64_t base_ = 0;              // the position of bytes_[0]
    int64_t loaded_ = kPreamble;    // positions before this are in bytes_
    std::vector<int64_t> prev_;
    std::vector<int64_t> head_;
    int64_t inserted_ = 0;
};

class BitWriter {
public:
    explicit BitWriter(const WriteOutput& write) : write_(write) {}

    void Put(uint32_t bits, int count) {
        for (int i = count - 1; i >= 0; --i) {
            pending_ = static_cast<uint8_t>(pending_ << 1 | (bits >> i & 1));
            if (++pendingCount_ == 8) {
                out_.push_back(pending_);
                pending_ = 0;
                pendingCount_ = 0;
            }
        }
        if (!holding_ && out_.size() >= kOutputPiece) {
            write_(out_.data(), out_.size());
            out_.clear();
        }
    }
    bool AtByteBoundary() const { return pendingCount_ == 0; }

    // From a mark on, output is held back, so that it can be written again.
    struct Mark {
        size_t bytes;
        uint8_t pending;
        int pendingCount;
    };
    Mark Save() {
        holding_ = true;
        return {out_.size(), pending_, pendingCount_};
    }
    void Restore(const Mark& mark) {
        out_.resize(mark.bytes);
        pending_ = mark.pending;
        pendingCount_ = mark.pendingCount;
    }
    void Finish() {
        Put(1, 1);
        while (pendingCount_) Put(0, 1);
        write_(out_.data(), out_.size());
        out_.clear();
    }

private:
    const WriteOutput& write_;
    std::vector<uint8_t> out_;
    uint8_t pending_ = 0;
    int pendingCount_ = 0;
    bool holding_ = false;
};

struct DistanceCodes {
    DistanceCode code[64];
    DistanceCodes() {
        for (unsigned u = 0; u < 64; ++u) code[u] = DistanceCodeFor(u);
    }
};
const DistanceCodes kDistanceCodes;

class StreamWriter {
public:
    explicit StreamWriter(const WriteOutput& write) : model_(new HuffmanModel), bits_(write) { ResetModel(*model_); }

    void Write(const Token& token, uint8_t literal) {
        int symbol = token.length == 1 ? literal : LengthSymbol(token.length);
        SymbolCode code = EncodeSymbol(*model_, symbol);
        bits_.Put(code.bits, code.length);
        UpdateModel(*model_, symbol);
        if (token.length > 1) {
            const DistanceCode& upper = kDistanceCodes.code[token.distance >> 6];
            bits_.Put(upper.code, upper.length);
            bits_.Put(token.distance & 63, 6);
        }
    }

    // What a reader that refills only below 8 bits gets wrong: the last code
    // ends on a byte boundary and the marker bit alone completes a symbol.
    bool EndMarkerDecodesAsSymbol() const {
        return bits_.AtByteBoundary() && model_->Child[RootNode - 1] >= NodeCount;
    }

    // Code lengths of every symbol in the current tree.
    void SymbolLengths(uint8_t lengths[SymbolCount]) const {
        uint8_t depth[NodeCount];
        depth[RootNode] = 0;
        for (int n = RootNode; n >= 0; --n) {
            unsigned child = model_->Child[n];
            if (child >= NodeCount) {
                lengths[child - NodeCount] = depth[n];
            } else {
                depth[child] = depth[child + 1] = static_cast<uint8_t>(depth[n] + 1);
            }
        }
    }

    struct Snapshot {
        std::unique_ptr<HuffmanModel> model;
        BitWriter::Mark mark;
    };
    Snapshot Save() { return {std::make_unique<HuffmanModel>(*model_), bits_.Save()}; }
    void Restore(const Snapshot& snapshot) {
        *model_ = *snapshot.model;
        bits_.Restore(snapshot.mark);
    }

    void Finish() { bits_.Finish(); }

private:
    std::unique_ptr<HuffmanModel> model_;
    BitWriter bits_;
};

class Compressor {
public:
    Compressor(uint64_t size, const ReadInput& read, const WriteOutput& write, const EncoderSettings& settings)
        : finder_(size, read), settings_(settings), writer_(write) {
        tailStart_ = finder_.End() - kTailBytes;
    }

    void Run() {
        switch (settings_.parse) {
            case EncoderSettings::Greedy: ParseGreedy(false); break;
            case EncoderSettings::Lazy: ParseGreedy(true); break;
            case EncoderSettings::Priced: ParsePriced(); break;
        }
        if (writer_.EndMarkerDecodesAsSymbol()) MendTail();
        writer_.Finish();
    }

private:
    // The stretch at the end that may be written again to mend the end.
    static constexpr int kTailBytes = 256;

    // Only the tokens of the tail are kept, for MendTail.
    void Emit(int64_t position, Token token) {
        if (!snapshot_.model && position >= tailStart_) {
            snapshot_ = writer_.Save();
            snapshotPosition_ = position;
        }
        if (snapshot_.model) tailTokens_.push_back(token);
        writer_.Write(token, finder_.At(position));
    }

    int Longest(int64_t position, Token* token) {
        // The lazy parse looks one position further.
        finder_.Load(position, position + MaxMatch + 2);
        finder_.InsertUpTo(position);
        int length = finder_.Find(position, settings_.chainLimit, [&](int l, int distance) {
            token->length = static_cast<uint16_t>(l);
            token->distance = static_cast<uint16_t>(distance);
        });
        if (length == 0) *token = {1, 0};
        return length;
    }

    void ParseGreedy(bool lazy) {
        int64_t position = kPreamble;
        Token current;
        int length = position < finder_.End() ? Longest(position, &current) : 0;
        while (position < finder_.End()) {
            if (lazy && length >= MinMatch && length < MaxMatch / 2 && position + 1 < finder_.End()) {
                Token next;
                if (Longest(position + 1, &next) > length) {
                    Emit(position, {1, 0});
                    ++position;
                    current = next;
                    length = next.length;
                    continue;
                }
            }
            Emit(position, current);
            position += current.length;
            if (position < finder_.End()) length = Longest(position, &current);
        }
    }

    // Matches of one position as the chain finds them: each longer than the
    // one before, each the nearest (so cheapest) for the lengths it adds.
    struct FoundMatch {
        uint8_t length;
        uint16_t distance;
    };

    // The cheapest path through [position, blockEnd) (it may run past the
    // end by one match) under the given symbol prices.
    std::vector<Token> PlanBlock(int64_t position, int64_t blockEnd, int span, const uint8_t* symbolBits,
                                 const std::vector<FoundMatch>& found, const std::vector<int>& firstFound) {
        std::vector<uint32_t> cost(span + 1, UINT32_MAX);
        std::vector<Token> choice(span + 1, Token{1, 0});
        cost[0] = 0;
        for (int i = 0; i < span; ++i) {
            if (cost[i] == UINT32_MAX) continue;
            uint32_t literal = cost[i] + symbolBits[finder_.At(position + i)];
            if (literal < cost[i + 1]) {
                cost[i + 1] = literal;
                choice[i + 1] = {1, 0};
            }
            if (position + i >= blockEnd) continue;
            int shortest = MinMatch;
            for (int k = firstFound[i]; k < firstFound[i + 1]; ++k) {
                const FoundMatch& match = found[k];
                uint32_t distanceBits = kDistanceCodes.code[match.distance >> 6].length + 6u;
                for (int l = shortest; l <= match.length && i + l <= span; ++l) {
                    uint32_t price = cost[i] + symbolBits[LengthSymbol(l)] + distanceBits;
                    if (price < cost[i + l]) {
                        cost[i + l] = price;
                        choice[i + l] = {static_cast<uint16_t>(l), match.distance};
                    }
                }
                shortest = match.length + 1;
            }
        }
        int stop = static_cast<int>(blockEnd - position);
        while (cost[stop] == UINT32_MAX) ++stop;
        std::vector<Token> path;
        for (int i = stop; i > 0; i -= choice[i].length) path.push_back(choice[i]);
        return std::vector<Token>(path.rbegin(), path.rend());
    }

    // Blocks are long: a plan cut at a block's end is cut short of its best.
    void ParsePriced() {
        const int64_t end = finder_.End();
        std::vector<FoundMatch> found;
        std::vector<int> firstFound;
        uint8_t symbolBits[SymbolCount];
        int64_t position = kPreamble;
        while (position < end) {
            int64_t blockEnd = std::min(position + kPricedBlock, end);
            int span = static_cast<int>(std::min(blockEnd + MaxMatch, end) - position);
            finder_.Load(position, blockEnd + MaxMatch);
            found.clear();
            firstFound.assign(1, 0);
            for (int64_t at = position; at < blockEnd; ++at) {
                finder_.InsertUpTo(at);
                finder_.Find(at, settings_.chainLimit, [&](int length, int distance) {
                    found.push_back({static_cast<uint8_t>(length), static_cast<uint16_t>(distance)});
                });
                firstFound.push_back(static_cast<int>(found.size()));
            }
            firstFound.resize(span + 1, static_cast<int>(found.size()));

            writer_.SymbolLengths(symbolBits);
            for (const Token& token : PlanBlock(position, blockEnd, span, symbolBits, found, firstFound)) {
                Emit(position, token);
                position += token.length;
            }
        }
    }

    // Writes the tail again, ever more of it as literals, until the stream's
    // end reads the same with both readers.
    void MendTail() {
        int tailLength = static_cast<int>(finder_.End() - snapshotPosition_);
        for (int literals = 1; literals <= tailLength; ++literals) {
            writer_.Restore(snapshot_);
            int64_t position = snapshotPosition_;
            int64_t cut = finder_.End() - literals;
            for (const Token& token : tailTokens_) {
                if (position + token.length > cut) break;
                writer_.Write(token, finder_.At(position));
                position += token.length;
            }
            for (; position < finder_.End(); ++position) writer_.Write({1, 0}, finder_.At(position));
            if (!writer_.EndMarkerDecodesAsSymbol()) return;
        }
        throw std::runtime_error("no stream end found that every reader decodes alike");
    }

    MatchFinder finder_;
    EncoderSettings settings_;
    StreamWriter writer_;
    std::vector<Token> tailTokens_;
    int64_t tailStart_;
    StreamWriter::Snapshot snapshot_;
    int64_t snapshotPosition_ = 0;
};

}  // namespace

void CompressStream(uint64_t size, const ReadInput& read, const WriteOutput& write, const EncoderSettings& settings) {
    Compressor(size, read, write, settings).Run();
}

ReadInput ReadFromMemory(const uint8_t* data, size_t size) {
    return [data, size, next = size_t{0}](uint8_t* buffer, size_t wanted) mutable {
        size_t n = std::min(wanted, size - next);
        if (n) memcpy(buffer, data + next, n);
        next += n;
        return n;
    };
}

WriteOutput AppendTo(std::vector<uint8_t>* out) {
    return [out](const uint8_t* bytes, size_t count) { out->insert(out->end(), bytes, bytes + count); };
}

std::vector<uint8_t> Compress(const uint8_t* data, size_t size, const EncoderSettings& settings) {
    std::vector<uint8_t> stream;
    CompressStream(size, ReadFromMemory(data, size), AppendTo(&stream), settings);
    return stream;
}

}  // namespace lzh
