#include "pack/stream_check.h"

#include <algorithm>
#include <cstring>

#include "base/crc32.h"
#include "pack/stream_codec.h"

namespace {
// Enough for the decoder never to wait on a piece, little enough to stay
// small.
constexpr size_t kMostQueued = 4 << 20;
}  // namespace

StreamCheck::StreamCheck() : thread_([this] { Decode(); }) {}

StreamCheck::~StreamCheck() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void StreamCheck::Feed(const uint8_t* bytes, size_t count) {
    if (count == 0) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return queuedBytes_ < kMostQueued; });
    queue_.emplace_back(bytes, bytes + count);
    queuedBytes_ += count;
    changed_.notify_all();
}

StreamCheck::Decoded StreamCheck::Finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
    thread_.join();
    return decoded_;
}

size_t StreamCheck::Take(uint8_t* buffer, size_t wanted) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty() || ended_; });
    size_t given = 0;
    while (given < wanted && !queue_.empty()) {
        std::vector<uint8_t>& front = queue_.front();
        size_t n = std::min(wanted - given, front.size() - offset_);
        memcpy(buffer + given, front.data() + offset_, n);
        given += n;
        offset_ += n;
        if (offset_ == front.size()) {
            queuedBytes_ -= front.size();
            queue_.pop_front();
            offset_ = 0;
        }
    }
    changed_.notify_all();
    return given;
}

void StreamCheck::Decode() {
    DecodeStream([this](uint8_t* buffer, size_t wanted) { return Take(buffer, wanted); },
                 [this](const uint8_t* bytes, size_t count) {
                     decoded_.size += count;
                     decoded_.crc = UpdateCrc32(decoded_.crc, bytes, count);
                 });
    // Whatever follows the stream's end is not decoded; take it all, so
    // that the writer never waits on a full queue.
    uint8_t rest[4096];
    while (Take(rest, sizeof rest) > 0) {
    }
}
