// The encoder mirrors the decoder: the same adaptive tree, updated after
// every symbol, gives each symbol's code by a walk from its leaf to the root.
//
// Matches are found with hash chains over the input preceded by the 4096
// bytes that the decoder's window holds at the start (60 zero bytes, then
// 4036 spaces), so a stream may copy from the prefill as well. The priced
// parse runs a shortest-path search over each block of positions, pricing
// literals and lengths with the tree's code lengths at the block's start and
// distances with their fixed code.
#include "lzh/encoder.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include "lzh/huffman_model.h"

namespace lzh {

namespace {

constexpr int kPreamble = WindowSize;
constexpr int kHashBits = 15;

struct Token {
    uint16_t length;    // 1 for a literal
    uint16_t distance;  // 0..4095: the match starts distance + 1 bytes back
};

class MatchFinder {
public:
    MatchFinder(const uint8_t* data, size_t size) : bytes_(kPreamble + size), prev_(kPreamble + size), head_(1 << kHashBits, -1) {
        memset(bytes_.data(), PrefillByte, kPreamble);
        memset(bytes_.data(), 0, MaxMatch);
        if (size) memcpy(bytes_.data() + kPreamble, data, size);
    }

    int End() const { return static_cast<int>(bytes_.size()); }
    uint8_t At(int position) const { return bytes_[position]; }

    // Positions before `position` become candidates.
    void InsertUpTo(int position) {
        for (; inserted_ < position && inserted_ + MinMatch <= End(); ++inserted_) {
            unsigned h = Hash(inserted_);
            prev_[inserted_] = head_[h];
            head_[h] = inserted_;
        }
    }

    // Calls onMatch(length, distance) each time a nearer-to-farther walk of
    // the chain finds a longer match; returns the longest length.
    template <class OnMatch>
    int Find(int position, int chainLimit, OnMatch onMatch) const {
        int maxLength = End() - position < MaxMatch ? End() - position : MaxMatch;
        if (maxLength < MinMatch) return 0;
        int best = MinMatch - 1;
        const uint8_t* here = bytes_.data() + position;
        for (int candidate = head_[Hash(position)]; candidate >= 0 && chainLimit-- > 0;
             candidate = prev_[candidate]) {
            if (position - candidate > WindowSize) break;
            const uint8_t* there = bytes_.data() + candidate;
            if (there[best] != here[best] || there[0] != here[0]) continue;
            int length = 0;
            while (length < maxLength && there[length] == here[length]) ++length;
            if (length > best) {
                best = length;
                onMatch(length, position - candidate - 1);
                if (length == maxLength) break;
            }
        }
        return best >= MinMatch ? best : 0;
    }

private:
    unsigned Hash(int p) const {
        uint32_t v = bytes_[p] | bytes_[p + 1] << 8 | bytes_[p + 2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    std::vector<uint8_t> bytes_;
    std::vector<int32_t> prev_;
    std::vector<int32_t> head_;
    int inserted_ = 0;
};

class BitWriter {
public:
    void Put(uint32_t bits, int count) {
        for (int i = count - 1; i >= 0; --i) {
            pending_ = static_cast<uint8_t>(pending_ << 1 | (bits >> i & 1));
            if (++pendingCount_ == 8) {
                out_.push_back(pending_);
                pending_ = 0;
                pendingCount_ = 0;
            }
        }
    }
    uint64_t BitLength() const { return out_.size() * 8 + pendingCount_; }

    struct Mark {
        size_t bytes;
        uint8_t pending;
        int pendingCount;
    };
    Mark Save() const { return {out_.size(), pending_, pendingCount_}; }
    void Restore(const Mark& mark) {
        out_.resize(mark.bytes);
        pending_ = mark.pending;
        pendingCount_ = mark.pendingCount;
    }
    std::vector<uint8_t> Finish() {
        Put(1, 1);
        while (pendingCount_) Put(0, 1);
        return std::move(out_);
    }

private:
    std::vector<uint8_t> out_;
    uint8_t pending_ = 0;
    int pendingCount_ = 0;
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
    StreamWriter() : model_(new HuffmanModel) { ResetModel(*model_); }

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
        return bits_.BitLength() % 8 == 0 && model_->Child[RootNode - 1] >= NodeCount;
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
    Snapshot Save() const { return {std::make_unique<HuffmanModel>(*model_), bits_.Save()}; }
    void Restore(const Snapshot& snapshot) {
        *model_ = *snapshot.model;
        bits_.Restore(snapshot.mark);
    }

    std::vector<uint8_t> Finish() { return bits_.Finish(); }

private:
    std::unique_ptr<HuffmanModel> model_;
    BitWriter bits_;
};

class Compressor {
public:
    Compressor(const uint8_t* data, size_t size, const EncoderSettings& settings)
        : finder_(data, size), settings_(settings) {
        tailStart_ = finder_.End() - kTailBytes;
    }

    std::vector<uint8_t> Run() {
        switch (settings_.parse) {
            case EncoderSettings::Greedy: ParseGreedy(false); break;
            case EncoderSettings::Lazy: ParseGreedy(true); break;
            case EncoderSettings::Priced: ParsePriced(); break;
        }
        if (writer_.EndMarkerDecodesAsSymbol()) MendTail();
        return writer_.Finish();
    }

private:
    // The stretch at the end that may be written again to mend the end.
    static constexpr int kTailBytes = 256;

    void Emit(int position, Token token) {
        if (!snapshot_.model && position >= tailStart_) {
            snapshot_ = writer_.Save();
            snapshotToken_ = tokens_.size();
            snapshotPosition_ = position;
        }
        tokens_.push_back(token);
        writer_.Write(token, finder_.At(position));
    }

    int Longest(int position, Token* token) {
        finder_.InsertUpTo(position);
        int length = finder_.Find(position, settings_.chainLimit, [&](int l, int distance) {
            token->length = static_cast<uint16_t>(l);
            token->distance = static_cast<uint16_t>(distance);
        });
        if (length == 0) *token = {1, 0};
        return length;
    }

    void ParseGreedy(bool lazy) {
        int position = kPreamble;
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
    std::vector<Token> PlanBlock(int position, int blockEnd, int span, const uint8_t* symbolBits,
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
        int stop = blockEnd - position;
        while (cost[stop] == UINT32_MAX) ++stop;
        std::vector<Token> path;
        for (int i = stop; i > 0; i -= choice[i].length) path.push_back(choice[i]);
        return std::vector<Token>(path.rbegin(), path.rend());
    }

    // Blocks are long: a plan cut at a block's end is cut short of its best.
    void ParsePriced() {
        constexpr int kBlock = 8192;
        const int end = finder_.End();
        std::vector<FoundMatch> found;
        std::vector<int> firstFound;
        uint8_t symbolBits[SymbolCount];
        int position = kPreamble;
        while (position < end) {
            int blockEnd = position + kBlock < end ? position + kBlock : end;
            int span = (blockEnd + MaxMatch < end ? blockEnd + MaxMatch : end) - position;
            found.clear();
            firstFound.assign(1, 0);
            for (int at = position; at < blockEnd; ++at) {
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
        std::vector<Token> tail(tokens_.begin() + static_cast<long>(snapshotToken_), tokens_.end());
        int tailLength = finder_.End() - snapshotPosition_;
        for (int literals = 1; literals <= tailLength; ++literals) {
            writer_.Restore(snapshot_);
            int position = snapshotPosition_;
            int cut = finder_.End() - literals;
            for (const Token& token : tail) {
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
    std::vector<Token> tokens_;
    int tailStart_;
    StreamWriter::Snapshot snapshot_;
    size_t snapshotToken_ = 0;
    int snapshotPosition_ = 0;
};

}  // namespace

std::vector<uint8_t> Compress(const uint8_t* data, size_t size, const EncoderSettings& settings) {
    return Compressor(data, size, settings).Run();
}

}  // namespace lzh
